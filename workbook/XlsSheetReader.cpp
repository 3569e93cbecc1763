#include "workbook/XlsSheetReader.h"

#include "common/Failure.h"
#include "workbook/BiffRecordReader.h"
#include "workbook/BiffTextReader.h"
#include "workbook/BiffValues.h"
#include "workbook/XlsMessages.h"

#include <optional>

namespace {

// Row, column and format index: the first six bytes of every cell record.
constexpr int kCellHeader = 6;

// What the value field of a FORMULA record holds when its last two bytes are all ones.
enum FormulaResult : std::uint8_t { frString = 0, frBoolean = 1, frError = 2, frEmpty = 3 };

// Whether a record may stand between a FORMULA and the STRING with its text result: shared
// and array formulas, data tables, and the STRING itself.
bool mayFollowFormula(std::uint16_t id)
{
    constexpr std::uint16_t kShrFmla = 0x04BC, kArray = 0x0221, kTable = 0x0236;
    return id == kShrFmla || id == kArray || id == kTable || id == BiffId::String;
}

class SheetLoader {
public:
    SheetLoader(const QByteArray &stream, const XlsGlobals &globals, const XlsSheetEntry &sheet,
                const QString &path)
        : m_globals(globals), m_sheet(sheet), m_path(path), m_records(stream, sheet.offset, path),
          m_data(std::make_unique<SheetData>())
    {
        m_data->setSharedStrings(globals.strings);
    }

    std::unique_ptr<SheetData> load()
    {
        BiffRecord record;
        int depth = 0; // charts inside a worksheet bring their own BOF ... EOF
        while (m_records.next(record)) {
            if (record.id == BiffId::Bof) {
                ++depth;
            } else if (record.id == BiffId::Eof) {
                if (--depth <= 0) {
                    m_data->finish();
                    return std::move(m_data);
                }
            } else if (depth == 1) {
                readRecord(record);
            }
        }
        throw Failure(XlsMessages::damaged(
            m_path, QStringLiteral("sheet \"%1\" ends without an EOF record").arg(m_sheet.name),
            m_records.position()));
    }

private:
    struct Place {
        int row;
        int column;
    };

    // Row and column from 1; none for a place beyond the largest sheet.
    static std::optional<Place> placeOf(const uchar *data, int columnOffset = 2)
    {
        const int row = biffU16(data) + 1;
        const int column = biffU16(data + columnOffset) + 1;
        if (column > kMaxSheetColumns)
            return std::nullopt;
        return Place{row, column};
    }

    void addNumber(Place at, std::uint16_t xf, double value)
    {
        if (m_globals.isDate(xf))
            m_data->addDate(at.row, at.column, biffDateDays(value, m_globals.dateSystem1904));
        else
            m_data->addNumber(at.row, at.column, value);
    }

    void readRecord(const BiffRecord &record)
    {
        // Only the records of the formula itself may stand between it and its text.
        if (!mayFollowFormula(record.id))
            m_pendingString.reset();
        switch (record.id) {
        case BiffId::LabelSst:
            return readLabelSst(record);
        case BiffId::Label:
        case BiffId::RString:
            return readLabel(record);
        case BiffId::Number:
            return readNumber(record);
        case BiffId::Rk:
            return readRk(record);
        case BiffId::MulRk:
            return readMulRk(record);
        case BiffId::BoolErr:
            return readBoolErr(record);
        case BiffId::Formula:
            return readFormula(record);
        case BiffId::String:
            return readFormulaString(record);
        default:
            return;
        }
    }

    void readLabelSst(const BiffRecord &record)
    {
        m_records.requireSize(record, kCellHeader + 4);
        const std::uint32_t index = biffU32(record.data + kCellHeader);
        if (index >= m_globals.strings->size())
            m_records.fail(record, QStringLiteral("names shared string %1 of only %2")
                                       .arg(index)
                                       .arg(m_globals.strings->size()));
        if (const auto at = placeOf(record.data))
            m_data->addSharedText(at->row, at->column, index);
    }

    void readLabel(const BiffRecord &record)
    {
        m_records.requireSize(record, kCellHeader);
        BiffTextReader text(m_records, record, kCellHeader, false);
        const QString value = text.string(2);
        if (const auto at = placeOf(record.data))
            m_data->addText(at->row, at->column, value);
    }

    void readNumber(const BiffRecord &record)
    {
        m_records.requireSize(record, kCellHeader + 8);
        if (const auto at = placeOf(record.data))
            addNumber(*at, biffU16(record.data + 4), biffDouble(record.data + kCellHeader));
    }

    void readRk(const BiffRecord &record)
    {
        m_records.requireSize(record, kCellHeader + 4);
        if (const auto at = placeOf(record.data))
            addNumber(*at, biffU16(record.data + 4),
                      biffRkValue(biffU32(record.data + kCellHeader)));
    }

    // Row, first column, then a format index and an RK number for each cell in turn, then
    // the last column.
    void readMulRk(const BiffRecord &record)
    {
        constexpr int kEntry = 6;
        m_records.requireSize(record, 4 + kEntry + 2);
        const int count = (record.size - 6) / kEntry;
        const int row = biffU16(record.data) + 1;
        const int firstColumn = biffU16(record.data + 2) + 1;
        for (int i = 0; i < count && firstColumn + i <= kMaxSheetColumns; ++i) {
            const uchar *entry = record.data + 4 + i * kEntry;
            addNumber({row, firstColumn + i}, biffU16(entry), biffRkValue(biffU32(entry + 2)));
        }
    }

    void readBoolErr(const BiffRecord &record)
    {
        m_records.requireSize(record, kCellHeader + 2);
        const auto at = placeOf(record.data);
        if (!at)
            return;
        const std::uint8_t value = record.data[kCellHeader];
        if (record.data[kCellHeader + 1] != 0)
            m_data->addError(at->row, at->column, biffErrorText(value));
        else
            m_data->addBoolean(at->row, at->column, value != 0);
    }

    void readFormula(const BiffRecord &record)
    {
        m_records.requireSize(record, kCellHeader + 8);
        const auto at = placeOf(record.data);
        if (!at)
            return;
        const uchar *value = record.data + kCellHeader;
        if (biffU16(value + 6) != 0xFFFF)
            return addNumber(*at, biffU16(record.data + 4), biffDouble(value));
        switch (value[0]) {
        case frString:
            m_pendingString = at; // the text is in the STRING record that follows
            break;
        case frBoolean:
            m_data->addBoolean(at->row, at->column, value[2] != 0);
            break;
        case frError:
            m_data->addError(at->row, at->column, biffErrorText(value[2]));
            break;
        default:
            m_data->addText(at->row, at->column, QString());
            break;
        }
    }

    void readFormulaString(const BiffRecord &record)
    {
        if (!m_pendingString)
            return;
        const Place at = *m_pendingString;
        m_pendingString.reset();
        BiffTextReader text(m_records, record, 0, true);
        m_data->addText(at.row, at.column, text.wholeString());
    }

    const XlsGlobals &m_globals;
    const XlsSheetEntry &m_sheet;
    const QString &m_path;
    BiffRecordReader m_records;
    std::unique_ptr<SheetData> m_data;
    std::optional<Place> m_pendingString; // a formula whose text result comes next
};

} // namespace

std::unique_ptr<SheetData> readXlsSheet(const QByteArray &stream, const XlsGlobals &globals,
                                        const XlsSheetEntry &sheet, const QString &path)
{
    return SheetLoader(stream, globals, sheet, path).load();
}
