#include "workbook/XlsxSheetReader.h"

#include "workbook/XlsxPackage.h"
#include "workbook/XlsxStyles.h"
#include "workbook/XlsxText.h"

#include <QDateTime>
#include <charconv>
#include <cstring>

namespace xlsx {

namespace {

// 1904-01-01 counted from 1899-12-30.
constexpr double kDays1904 = 1462;

// The attributes and children of one <c> element that the reader looks at.
struct CellParts {
    const char *ref = nullptr;
    const char *type = "";
    std::uint32_t style = 0;
    pugi::xml_node value;        // <v>
    pugi::xml_node inlineString; // <is>
};

std::uint32_t parseIndex(const char *text)
{
    std::uint32_t value = 0;
    const char *end = text + std::strlen(text);
    if (std::from_chars(text, end, value).ptr != end)
        return 0;
    return value;
}

std::optional<std::uint32_t> parseStrictIndex(const char *text)
{
    std::uint32_t value = 0;
    const char *end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, value);
    if (ec != std::errc() || ptr != end || ptr == text)
        return std::nullopt;
    return value;
}

std::optional<double> parseNumber(const char *text)
{
    while (*text == ' ')
        ++text;
    const char *end = text + std::strlen(text);
    while (end > text && end[-1] == ' ')
        --end;
    if (*text == '+')
        ++text;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text, end, value);
    if (ec != std::errc() || ptr != end || ptr == text)
        return std::nullopt;
    return value;
}

CellParts cellParts(pugi::xml_node cell)
{
    CellParts parts;
    for (const pugi::xml_attribute a : cell.attributes()) {
        const char *name = a.name();
        if (name[0] == 'r' && name[1] == 0)
            parts.ref = a.value();
        else if (name[0] == 't' && name[1] == 0)
            parts.type = a.value();
        else if (name[0] == 's' && name[1] == 0)
            parts.style = parseIndex(a.value());
    }
    for (const pugi::xml_node child : cell.children()) {
        const char *name = localName(child.name());
        if (name[0] == 'v' && name[1] == 0)
            parts.value = child;
        else if (name[0] == 'i' && name[1] == 's' && name[2] == 0)
            parts.inlineString = child;
    }
    return parts;
}

// A date written as text ("2024-03-01T12:00:00"), as some writers store date cells.
std::optional<double> serialFromIsoText(const char *text)
{
    const QString iso = QString::fromLatin1(text);
    QDateTime when = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!when.isValid()) {
        const QTime time = QTime::fromString(iso, Qt::ISODateWithMs);
        if (!time.isValid())
            return std::nullopt;
        return time.msecsSinceStartOfDay() / 86400000.0;
    }
    const qint64 days = QDate(1899, 12, 30).daysTo(when.date());
    return double(days) + when.time().msecsSinceStartOfDay() / 86400000.0;
}

class CellAdder {
public:
    CellAdder(const CellStyles &styles, bool date1904, SheetData &sheet)
        : m_styles(styles), m_date1904(date1904), m_sheet(sheet)
    {
    }

    void add(int row, int column, const CellParts &c)
    {
        const char *type = c.type;
        const char *v = c.value ? c.value.child_value() : nullptr;
        if (std::strcmp(type, "inlineStr") == 0) {
            if (c.inlineString)
                m_sheet.addText(row, column, stringItemText(c.inlineString));
            return;
        }
        if (!v)
            return; // a formatted empty cell, or a formula never calculated
        switch (type[0]) {
        case 0:
        case 'n':
            addNumber(row, column, v, c.style);
            return;
        case 's':
            if (type[1] == 0) { // "s": index into the shared strings
                if (const auto index = parseStrictIndex(v))
                    m_sheet.addSharedText(row, column, *index);
            } else { // "str": a formula's text result
                m_sheet.addText(row, column, textOf(v));
            }
            return;
        case 'b':
            m_sheet.addBoolean(row, column,
                               std::strcmp(v, "0") != 0 && std::strcmp(v, "") != 0 &&
                                   std::strcmp(v, "false") != 0);
            return;
        case 'e':
            m_sheet.addError(row, column, QString::fromUtf8(v));
            return;
        case 'd':
            if (const auto serial = serialFromIsoText(v))
                m_sheet.addDate(row, column, *serial);
            else
                m_sheet.addText(row, column, QString::fromUtf8(v));
            return;
        default:
            addNumber(row, column, v, c.style);
        }
    }

private:
    void addNumber(int row, int column, const char *v, std::uint32_t style)
    {
        const std::optional<double> number = parseNumber(v);
        if (!number) // not what the format allows; kept as the text it is
            m_sheet.addText(row, column, QString::fromUtf8(v));
        else if (m_styles.isDate(style))
            m_sheet.addDate(row, column, dateFromSerial(*number, m_date1904));
        else
            m_sheet.addNumber(row, column, *number);
    }

    const CellStyles &m_styles;
    bool m_date1904;
    SheetData &m_sheet;
};

// About how many cells the sheet holds, so that a large sheet is not copied as it grows: the
// area its dimension states, but no more than the part can hold, whatever the dimension says.
std::size_t expectedCells(pugi::xml_node worksheet, qint64 partBytes)
{
    // No cell with a value takes fewer bytes than <c><v>1</v></c>.
    constexpr qint64 kSmallestCellBytes = 15;
    const QByteArray ref(childNamed(worksheet, "dimension").attribute("ref").value());
    const qsizetype colon = ref.indexOf(':');
    if (colon < 0)
        return 0;
    const std::optional<CellRef> first = parseCellRef(ref.left(colon).constData());
    const std::optional<CellRef> last = parseCellRef(ref.mid(colon + 1).constData());
    if (!first || !last || last->row < first->row || last->column < first->column)
        return 0;
    const qint64 area =
        qint64(last->row - first->row + 1) * qint64(last->column - first->column + 1);
    return std::size_t(std::min(area, partBytes / kSmallestCellBytes));
}

} // namespace

std::optional<CellRef> parseCellRef(const char *text)
{
    std::int32_t column = 0;
    const char *p = text;
    for (; (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'); ++p) {
        column = column * 26 + ((*p & ~0x20) - 'A' + 1);
        if (column > kMaxSheetColumns)
            return std::nullopt;
    }
    if (p == text)
        return std::nullopt;
    std::int32_t row = 0;
    const char *digits = p;
    for (; *p >= '0' && *p <= '9'; ++p) {
        row = row * 10 + (*p - '0');
        if (row > kMaxSheetRows)
            return std::nullopt;
    }
    if (p == digits || *p != 0 || row < 1)
        return std::nullopt;
    return CellRef{row, column};
}

double dateFromSerial(double serial, bool date1904)
{
    if (date1904)
        return serial + kDays1904;
    // Below 1 a value is a time of day alone: it keeps day zero, as the spreadsheet itself
    // hands such values to other programs.
    return serial >= 1 && serial < 61 ? serial + 1 : serial;
}

void readWorksheet(pugi::xml_node worksheet, qint64 partBytes, const CellStyles &styles,
                   bool date1904, SheetData &sheet)
{
    sheet.reserve(expectedCells(worksheet, partBytes));
    CellAdder adder(styles, date1904, sheet);
    const pugi::xml_node sheetData = childNamed(worksheet, "sheetData");
    // Rows and cells without a reference follow the one before them.
    std::int64_t rowNumber = 0;
    for (const pugi::xml_node row : sheetData.children()) {
        if (std::strcmp(localName(row.name()), "row") != 0)
            continue;
        const pugi::xml_attribute r = row.attribute("r");
        rowNumber = r ? r.as_llong(0) : rowNumber + 1;
        if (rowNumber < 1 || rowNumber > kMaxSheetRows)
            continue; // beyond the sheet: no cells of the sheet
        std::int64_t column = 0;
        for (const pugi::xml_node cell : row.children()) {
            if (std::strcmp(localName(cell.name()), "c") != 0)
                continue;
            const CellParts parts = cellParts(cell);
            int cellRow = int(rowNumber);
            if (parts.ref) {
                const std::optional<CellRef> ref = parseCellRef(parts.ref);
                if (!ref)
                    continue; // beyond the sheet or no reference at all
                cellRow = ref->row;
                column = ref->column;
            } else {
                ++column;
            }
            if (column > kMaxSheetColumns)
                continue;
            adder.add(cellRow, int(column), parts);
        }
    }
    sheet.finish();
}

} // namespace xlsx
