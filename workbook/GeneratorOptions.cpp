#include "workbook/GeneratorOptions.h"

#include "common/Failure.h"
#include "common/LenientInt.h"
#include "workbook/Worksheet.h"

#include <QDomElement>

namespace {

struct CellPlace {
    std::optional<int> row;
    std::optional<int> col;
    bool named() const { return row && col; }
};

CellPlace cellPlaceOf(const QDomElement &e)
{
    return {tryReadInt(e.attribute(QStringLiteral("row"))),
            tryReadInt(e.attribute(QStringLiteral("col")))};
}

// The cell form: the option cell's text, else the default; true for "TRUE" in any case.
bool readCellForm(const Worksheet *sheet, const QDomElement &e)
{
    const CellPlace place = cellPlaceOf(e);
    QString value;
    if (place.named() && sheet)
        value = cellText(sheet->Cell(*place.row, *place.col));
    if (value.isEmpty())
        value = e.attribute(QStringLiteral("default"));
    return value.toUpper() == u"TRUE";
}

// The text form: true only for an element whose one child is the text "1".
bool readTextForm(const QDomElement &e)
{
    const QDomNodeList children = e.childNodes();
    if (children.size() != 1)
        return false;
    const QDomNode only = children.at(0);
    return (only.isText() || only.isCDATASection()) && only.nodeValue() == u"1";
}

bool readKeepGeneratedVars(const Worksheet *sheet, const QDomElement &e)
{
    return cellPlaceOf(e).named() ? readCellForm(sheet, e) : readTextForm(e);
}

using OptionReader = bool (*)(const Worksheet *, const QDomElement &);

struct OptionEntry {
    const char *element;
    bool TXmlGeneratorOptions::*flag;
    OptionReader read;
};

constexpr OptionEntry kOptions[] = {
    {"KeepGeneratedVars", &TXmlGeneratorOptions::KeepGeneratedVars, readKeepGeneratedVars},
    {"DisableVarIndicationCreatedByGenerator",
     &TXmlGeneratorOptions::DisableVarIndicationCreatedByGenerator, readCellForm},
    {"GenerateMultiTaskApp", &TXmlGeneratorOptions::GenerateMultiTaskApp, readCellForm},
};

} // namespace

void ReadGeneratorOptions(const Worksheet *sheet, const QDomElement &element,
                          TXmlGeneratorOptions &options)
{
    options = {};
    for (const OptionEntry &o : kOptions) {
        const QDomElement child = element.firstChildElement(QString::fromLatin1(o.element));
        if (child.isNull())
            continue;
        try {
            options.*o.flag = o.read(sheet, child);
        } catch (const Failure &) {
            options.*o.flag = false; // an unreadable cell leaves this option off
        }
    }
}
