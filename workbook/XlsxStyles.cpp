#include "workbook/XlsxStyles.h"

#include "workbook/XlsxPackage.h"

#include <QHash>
#include <cstring>

namespace xlsx {

namespace {

// The spreadsheet allows no more cell formats than this; a styles part listing more is
// damaged or hostile, and the rest are taken as no dates.
constexpr std::size_t kMaxCellFormats = 65536;

bool isDateCode(char16_t c)
{
    switch (c) {
    case u'y':
    case u'Y':
    case u'm':
    case u'M':
    case u'd':
    case u'D':
    case u'h':
    case u'H':
    case u's':
    case u'S':
        return true;
    default:
        return false;
    }
}

// An elapsed-time part: [h], [hh], [mm], [ss] and so on, one letter repeated.
bool isElapsedTime(QStringView inside)
{
    if (inside.isEmpty())
        return false;
    const char16_t first = QChar::toLower(inside[0].unicode());
    if (first != u'h' && first != u'm' && first != u's')
        return false;
    for (const QChar c : inside) {
        if (QChar::toLower(c.unicode()) != first)
            return false;
    }
    return true;
}

} // namespace

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool isDateFormatCode(QStringView code)
{
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].unicode();
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            if (close < 0)
                return false;
            i = close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // an escaped character, a blank as wide as one, or the fill character
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            if (close < 0)
                return false;
            if (isElapsedTime(code.mid(i + 1, close - i - 1)))
                return true;
            i = close;
        } else if (isDateCode(c)) {
            return true;
        }
    }
    return false;
}

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
