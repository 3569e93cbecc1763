#include "workbook/OdsTableReader.h"

#include "common/Failure.h"
#include "workbook/OdsMessages.h"
#include "workbook/OdsValues.h"
#include "workbook/XmlWalk.h"

#include <algorithm>
#include <cstring>

namespace {

void addCell(SheetData &sheet, int row, int column, const CellValue &value)
{
    switch (value.kind) {
    case CellKind::Text:
        sheet.addText(row, column, value.text);
        break;
    case CellKind::Number:
        sheet.addNumber(row, column, value.number);
        break;
    case CellKind::Boolean:
        sheet.addBoolean(row, column, value.number != 0);
        break;
    case CellKind::Date:
        sheet.addDate(row, column, value.number);
        break;
    case CellKind::Error:
        sheet.addError(row, column, value.text);
        break;
    case CellKind::Empty:
        break;
    }
}

// How each office:value-type is read; a value that cannot be read falls back to the text the
// cell shows.
enum class ValueRead { Number, Date, Time, Boolean, String, Empty };

struct ValueType {
    const char *name;
    ValueRead read;
};

constexpr ValueType kValueTypes[] = {
    {"float", ValueRead::Number},    {"percentage", ValueRead::Number},
    {"currency", ValueRead::Number}, {"date", ValueRead::Date},
    {"time", ValueRead::Time},       {"boolean", ValueRead::Boolean},
    {"string", ValueRead::String},   {"void", ValueRead::Empty},
    {"", ValueRead::Empty},
};

ValueRead valueReadOf(const char *type)
{
    for (const ValueType &t : kValueTypes) {
        if (std::strcmp(t.name, type) == 0)
            return t.read;
    }
    return ValueRead::String; // a type unknown here: the text it shows
}

std::optional<CellValue> numberValue(std::optional<double> number, CellKind kind)
{
    if (!number)
        return std::nullopt;
    return CellValue{kind, *number, {}};
}

} // namespace

SheetData OdsTableReader::read(const pugi::xml_node &table, const QString &sheetName)
{
    SheetData sheet;
    m_sheet = &sheet;
    m_sheetName = sheetName;
    m_nextRow = 1;
    walkDescendants(table, [this](const pugi::xml_node &node) {
        if (node.type() != pugi::node_element)
            return false;
        if (isName(node.name(), m_names.row)) {
            readRow(node);
            return false;
        }
        return isRowContainer(node.name());
    });
    sheet.finish();
    m_sheet = nullptr;
    return sheet;
}

bool OdsTableReader::isRowContainer(const char *name) const
{
    return isName(name, m_names.headerRows) || isName(name, m_names.rowGroup) ||
           isName(name, m_names.rows);
}

bool OdsTableReader::isCell(const char *name) const
{
    return isName(name, m_names.cell) || isName(name, m_names.coveredCell);
}

void OdsTableReader::readRow(const pugi::xml_node &row)
{
    const std::int64_t repeats =
        odsRepeatCount(row.attribute(m_names.rowsRepeated.c_str()).value(), kMaxSheetRows);
    const std::int64_t first = m_nextRow;
    m_nextRow += repeats;
    if (first > kMaxSheetRows)
        return;
    collectCells(row);
    if (m_rowCells.empty())
        return;
    const std::int64_t rows = std::min<std::int64_t>(repeats, kMaxSheetRows - first + 1);
    const std::int64_t cells = rows * std::int64_t(m_rowCells.size());
    if (cells > m_cellBudget)
        throw Failure(OdsMessages::tooManyCells(m_path, m_sheetName, m_cellLimit));
    m_cellBudget -= cells;
    for (std::int64_t r = first; r < first + rows; ++r) {
        for (const RowCell &c : m_rowCells)
            addCell(*m_sheet, int(r), c.column, m_values[c.value]);
    }
}

void OdsTableReader::collectCells(const pugi::xml_node &row)
{
    m_values.clear();
    m_rowCells.clear();
    std::int64_t column = 1;
    for (const pugi::xml_node &cell : row.children()) {
        if (column > kMaxSheetColumns)
            break;
        if (cell.type() != pugi::node_element || !isCell(cell.name()))
            continue;
        const std::int64_t repeats = odsRepeatCount(
            cell.attribute(m_names.columnsRepeated.c_str()).value(), kMaxSheetColumns);
        if (auto value = valueOf(cell)) {
            m_values.push_back(std::move(*value));
            const std::int64_t last =
                std::min<std::int64_t>(column + repeats - 1, kMaxSheetColumns);
            for (std::int64_t c = column; c <= last; ++c)
                m_rowCells.push_back({int(c), std::uint32_t(m_values.size() - 1)});
        }
        column += repeats;
    }
}

std::optional<CellValue> OdsTableReader::valueOf(const pugi::xml_node &cell)
{
    // LibreOffice marks a formula that gives an error with its own value type and shows the
    // error value ("#DIV/0!") as the cell's text.
    if (std::strcmp(cell.attribute(m_names.extendedValueType.c_str()).value(), "error") == 0)
        return CellValue::fromError(m_text.of(cell));
    const ValueRead read = valueReadOf(cell.attribute(m_names.valueType.c_str()).value());
    std::optional<CellValue> value;
    switch (read) {
    case ValueRead::Empty:
        return std::nullopt;
    case ValueRead::Number:
        value =
            numberValue(odsNumber(cell.attribute(m_names.value.c_str()).value()), CellKind::Number);
        if (const auto b = odsBooleanFormula(cell.attribute(m_names.formula.c_str()).value());
            b && value)
            value = CellValue::fromBool(*b);
        break;
    case ValueRead::Date:
        value = numberValue(odsDateSerial(cell.attribute(m_names.dateValue.c_str()).value()),
                            CellKind::Date);
        break;
    case ValueRead::Time:
        value = numberValue(odsDurationDays(cell.attribute(m_names.timeValue.c_str()).value()),
                            CellKind::Date);
        break;
    case ValueRead::Boolean:
        if (const auto b = odsBoolean(cell.attribute(m_names.booleanValue.c_str()).value()))
            value = CellValue::fromBool(*b);
        break;
    case ValueRead::String:
        if (const pugi::xml_attribute s = cell.attribute(m_names.stringValue.c_str()))
            return CellValue::fromText(QString::fromUtf8(s.value()));
        return CellValue::fromText(m_text.of(cell));
    }
    if (value)
        return value;
    // A value the reader cannot make sense of: what the cell shows, if anything.
    const QString shown = m_text.of(cell);
    if (shown.isEmpty())
        return std::nullopt;
    return CellValue::fromText(shown);
}
