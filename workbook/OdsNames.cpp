#include "workbook/OdsNames.h"

#include <cstring>

namespace {

struct Namespace {
    const char *uri;
    const char *usualPrefix;
};

constexpr Namespace kOffice{"urn:oasis:names:tc:opendocument:xmlns:office:1.0", "office"};
constexpr Namespace kTable{"urn:oasis:names:tc:opendocument:xmlns:table:1.0", "table"};
constexpr Namespace kText{"urn:oasis:names:tc:opendocument:xmlns:text:1.0", "text"};
constexpr Namespace kCalcExt{"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0",
                             "calcext"};

// "prefix:" as the root element binds it to the namespace; "" for the default namespace.
std::string prefixOf(const pugi::xml_node &root, const Namespace &ns)
{
    for (const pugi::xml_attribute &a : root.attributes()) {
        if (std::strcmp(a.value(), ns.uri) != 0)
            continue;
        const char *name = a.name();
        if (std::strcmp(name, "xmlns") == 0)
            return {};
        if (std::strncmp(name, "xmlns:", 6) == 0)
            return std::string(name + 6) + ':';
    }
    return std::string(ns.usualPrefix) + ':';
}

} // namespace

OdsNames::OdsNames(const pugi::xml_node &root)
{
    const std::string office = prefixOf(root, kOffice);
    const std::string tableNs = prefixOf(root, kTable);
    const std::string text = prefixOf(root, kText);
    body = office + "body";
    spreadsheet = office + "spreadsheet";
    annotation = office + "annotation";
    valueType = office + "value-type";
    value = office + "value";
    dateValue = office + "date-value";
    timeValue = office + "time-value";
    booleanValue = office + "boolean-value";
    stringValue = office + "string-value";
    table = tableNs + "table";
    name = tableNs + "name";
    row = tableNs + "table-row";
    headerRows = tableNs + "table-header-rows";
    rowGroup = tableNs + "table-row-group";
    rows = tableNs + "table-rows";
    cell = tableNs + "table-cell";
    coveredCell = tableNs + "covered-table-cell";
    rowsRepeated = tableNs + "number-rows-repeated";
    columnsRepeated = tableNs + "number-columns-repeated";
    formula = tableNs + "formula";
    paragraph = text + "p";
    heading = text + "h";
    space = text + "s";
    spaceCount = text + "c";
    tab = text + "tab";
    lineBreak = text + "line-break";
    note = text + "note";
    extendedValueType = prefixOf(root, kCalcExt) + "value-type";
}
