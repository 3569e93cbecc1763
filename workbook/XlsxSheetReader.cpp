#include "workbook/XlsxSheetReader.h"

#include "common/Failure.h"
#include "workbook/XlsxPackage.h"
#include "workbook/XlsxRowSlices.h"
#include "workbook/XlsxSheetLayout.h"
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
                addInlineString(row, column, c.inlineString);
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
                addTextOf(row, column, v);
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
    // Most inline strings are one <t> of plain ASCII: their bytes go straight into the
    // sheet's characters, without a QString in between.
    void addInlineString(int row, int column, pugi::xml_node item)
    {
        const pugi::xml_node first = item.first_child();
        if (first && !first.next_sibling() && std::strcmp(localName(first.name()), "t") == 0)
            addTextOf(row, column, first.child_value());
        else
            m_sheet.addText(row, column, stringItemText(item));
    }

    void addTextOf(int row, int column, const char *utf8)
    {
        const char *p = utf8;
        // Plain ASCII holding no "_x", which could start an escape.
        while (static_cast<unsigned char>(*p) - 1u < 0x7Fu && !(p[0] == '_' && p[1] == 'x'))
            ++p;
        if (*p == 0)
            m_sheet.addText(row, column, QLatin1StringView(utf8, p - utf8));
        else
            m_sheet.addText(row, column, textOf(utf8));
    }

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
std::size_t expectedCells(const char *dimension, qint64 partBytes)
{
    // No cell with a value takes fewer bytes than <c><v>1</v></c>.
    constexpr qint64 kSmallestCellBytes = 15;
    const QByteArray ref(dimension);
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

// The rows of a sheet, read in the order they come, possibly from several slices of the part.
// Rows and cells without a reference follow the one before them.
class RowReader {
public:
    RowReader(const CellStyles &styles, bool date1904, SheetData &sheet)
        : m_adder(styles, date1904, sheet)
    {
    }

    void readRows(pugi::xml_node parent)
    {
        for (const pugi::xml_node row : parent.children()) {
            if (std::strcmp(localName(row.name()), "row") == 0)
                readRow(row);
        }
    }

private:
    void readRow(pugi::xml_node row)
    {
        const pugi::xml_attribute r = row.attribute("r");
        m_row = r ? r.as_llong(0) : m_row + 1;
        if (m_row < 1 || m_row > kMaxSheetRows)
            return; // beyond the sheet: no cells of the sheet
        std::int64_t column = 0;
        for (const pugi::xml_node cell : row.children()) {
            if (std::strcmp(localName(cell.name()), "c") != 0)
                continue;
            const CellParts parts = cellParts(cell);
            int cellRow = int(m_row);
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
            m_adder.add(cellRow, int(column), parts);
        }
    }

    CellAdder m_adder;
    std::int64_t m_row = 0;
};

// Only whitespace that is the whole text of an element matters (a <t> holding a blank); the
// blanks between elements are left out. The text of a leaf element (<v>, <t>) is kept in the
// element itself: a node less per cell.
constexpr unsigned kParseFlags = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol |
                                 pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

// Rows are parsed in slices of about this size: large enough that slicing costs nothing,
// small enough that the nodes of one slice stay in the processor's cache.
constexpr qsizetype kSliceBytes = 256 * 1024;

Failure malformed(const QString &where, const pugi::xml_parse_result &result, qsizetype offset)
{
    return Failure(where + QStringLiteral(" is no well-formed XML (%1 at byte %2)")
                               .arg(QString::fromUtf8(result.description()))
                               .arg(offset + qsizetype(result.offset)));
}

Failure noWorksheet(const QString &where)
{
    return Failure(where + QStringLiteral(" is no worksheet"));
}

void readWhole(QByteArray &bytes, const QString &where, RowReader &rows, SheetData &sheet)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result result =
        doc.load_buffer_inplace(bytes.data(), std::size_t(bytes.size()), kParseFlags);
    if (!result)
        throw malformed(where, result, 0);
    const pugi::xml_node root = doc.document_element();
    if (std::strcmp(localName(root.name()), "worksheet") != 0)
        throw noWorksheet(where);
    sheet.reserve(
        expectedCells(childNamed(root, "dimension").attribute("ref").value(), bytes.size()));
    rows.readRows(childNamed(root, "sheetData"));
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

void readWorksheetPart(QByteArray &bytes, const QString &where, const CellStyles &styles,
                       bool date1904, SheetData &sheet)
{
    RowReader rows(styles, date1904, sheet);
    const std::optional<SheetLayout> layout = findSheetLayout(bytes);
    if (!layout) {
        readWhole(bytes, where, rows, sheet);
    } else {
        if (layout->rootName != "worksheet")
            throw noWorksheet(where);
        sheet.reserve(expectedCells(layout->dimension.constData(), bytes.size()));
        pugi::xml_document slice;
        for (qsizetype from = layout->rowsBegin; from < layout->rowsEnd;) {
            const qsizetype to = nextSliceEnd(bytes, from, kSliceBytes, layout->rowsEnd);
            const pugi::xml_parse_result result =
                slice.load_buffer_inplace(bytes.data() + from, std::size_t(to - from),
                                          kParseFlags | pugi::parse_fragment, pugi::encoding_utf8);
            if (!result)
                throw malformed(where, result, from);
            rows.readRows(slice);
            from = to;
        }
    }
    sheet.finish();
}

bool readWorksheetStream(ZipArchive::PartStream &part, const QString &where,
                         const CellStyles &styles, bool date1904, SheetData &sheet)
{
    using Step = RowSlices::Step;
    RowSlices slices(part, kSliceBytes);
    if (slices.readHead() == Step::Unsliceable)
        return false;
    const SheetLayout &layout = slices.layout();
    // A failure is reported only once the whole part is known to be sliceable: read whole,
    // another part would give another message.
    if (layout.rootName != "worksheet") {
        if (slices.drain() == Step::Unsliceable)
            return false;
        throw noWorksheet(where);
    }
    const qint64 partBytes = part.statedSize();
    sheet.reserve(expectedCells(layout.dimension.constData(), partBytes > 0 ? partBytes : 0));
    RowReader rows(styles, date1904, sheet);
    pugi::xml_document document;
    RowSlices::Slice slice;
    for (Step step = slices.next(slice); step != Step::End; step = slices.next(slice)) {
        if (step == Step::Unsliceable)
            return false;
        const pugi::xml_parse_result result =
            document.load_buffer_inplace(slice.data, std::size_t(slice.size),
                                         kParseFlags | pugi::parse_fragment, pugi::encoding_utf8);
        if (!result) {
            if (slices.drain() == Step::Unsliceable)
                return false;
            throw malformed(where, result, slice.offset);
        }
        rows.readRows(document);
    }
    sheet.finish();
    return true;
}

} // namespace xlsx
