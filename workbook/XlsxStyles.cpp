#include "workbook/XlsxStyles.h"

#include "workbook/DateFormat.h"
#include "workbook/XlsxPackage.h"

#include <QHash>
#include <cstring>

namespace xlsx {

namespace {

// The spreadsheet allows no more cell formats than this; a styles part listing more is
// damaged or hostile, and the rest are taken as no dates.
constexpr std::size_t kMaxCellFormats = 65536;

} // namespace

CellStyles::CellStyles(pugi::xml_node styleSheet)
{
    QHash<int, bool> customIsDate; // numFmtId -> whether its code shows a date
    const pugi::xml_node numFmts = childNamed(styleSheet, "numFmts");
    for (const pugi::xml_node fmt : numFmts.children()) {
        if (std::strcmp(localName(fmt.name()), "numFmt") != 0)
            continue;
        const QString code = QString::fromUtf8(fmt.attribute("formatCode").value());
        customIsDate.insert(fmt.attribute("numFmtId").as_int(-1), isDateFormatCode(code));
    }
    const pugi::xml_node cellXfs = childNamed(styleSheet, "cellXfs");
    for (const pugi::xml_node xf : cellXfs.children()) {
        if (std::strcmp(localName(xf.name()), "xf") != 0)
            continue;
        if (m_isDate.size() >= kMaxCellFormats)
            break;
        const int id = xf.attribute("numFmtId").as_int(0);
        const auto custom = customIsDate.constFind(id);
        m_isDate.push_back(custom != customIsDate.cend() ? *custom : isBuiltInDateFormat(id));
    }
}

} // namespace xlsx
