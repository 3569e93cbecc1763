#pragma once

#include <pugixml.hpp>
#include <string>

// The qualified names of the OpenDocument elements and attributes the reader looks at. Every
// spreadsheet program writes the usual prefixes (office:, table:, text:), but the prefix is
// the writer's choice: the names are made from the prefixes that the document's root element
// binds to the OpenDocument namespaces, falling back to the usual ones.
struct OdsNames {
    explicit OdsNames(const pugi::xml_node &root);

    // office:
    std::string body, spreadsheet, annotation, valueType, value, dateValue, timeValue, booleanValue,
        stringValue;
    // table:
    std::string table, name, row, headerRows, rowGroup, rows, cell, coveredCell, rowsRepeated,
        columnsRepeated, formula;
    // text:
    std::string paragraph, heading, space, spaceCount, tab, lineBreak, note;
    // calcext: the value type LibreOffice adds to error cells
    std::string extendedValueType;
};

// True when the element or attribute `name` is the qualified name `wanted`.
inline bool isName(const pugi::char_t *name, const std::string &wanted)
{
    return wanted == name;
}
