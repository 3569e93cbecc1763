#include "workbook/SheetData.h"

#include <algorithm>

SheetData::SheetData() : m_shared(std::make_shared<StringPool>()) {}

void SheetData::setSharedStrings(std::shared_ptr<const StringPool> strings)
{
    m_shared = strings ? std::move(strings) : std::make_shared<StringPool>();
}

void SheetData::add(StoredCell cell)
{
    if (!m_cells.empty()) {
        const StoredCell &last = m_cells.back();
        if (cell.row < last.row || (cell.row == last.row && cell.column <= last.column))
            m_sorted = false;
    }
    m_cells.push_back(cell);
}

namespace {

bool onSheet(int row, int column)
{
    return row >= 1 && row <= kMaxSheetRows && column >= 1 && column <= kMaxSheetColumns;
}

} // namespace

void SheetData::addNumeric(int row, int column, CellKind kind, double number)
{
    if (!onSheet(row, column))
        return;
    StoredCell cell{row, std::uint16_t(column), kind, false, {}};
    cell.number = number;
    add(cell);
}

// Adds the cell of a text of `length` characters, which the caller then appends to
// m_characters; false when the cell is left out.
bool SheetData::addTextCell(int row, int column, CellKind kind, qsizetype length)
{
    // A text beyond what a cell index can reach is left out; no part the readers accept comes
    // near it.
    if (!onSheet(row, column) || m_characters.size() + std::size_t(length) > UINT32_MAX)
        return false;
    StoredCell cell{row, std::uint16_t(column), kind, false, {}};
    cell.text = {std::uint32_t(m_characters.size()), std::uint32_t(length)};
    add(cell);
    return true;
}

void SheetData::addOwnText(int row, int column, CellKind kind, QStringView text)
{
    if (addTextCell(row, column, kind, text.size()))
        m_characters.insert(m_characters.end(), text.utf16(), text.utf16() + text.size());
}

void SheetData::addNumber(int row, int column, double value)
{
    addNumeric(row, column, CellKind::Number, value);
}

void SheetData::addBoolean(int row, int column, bool value)
{
    addNumeric(row, column, CellKind::Boolean, value ? 1.0 : 0.0);
}

void SheetData::addDate(int row, int column, double serial)
{
    addNumeric(row, column, CellKind::Date, serial);
}

void SheetData::addText(int row, int column, QStringView text)
{
    addOwnText(row, column, CellKind::Text, text);
}

void SheetData::addText(int row, int column, QLatin1StringView text)
{
    if (!addTextCell(row, column, CellKind::Text, text.size()))
        return;
    for (const char c : text)
        m_characters.push_back(char16_t(static_cast<unsigned char>(c)));
}

void SheetData::addSharedText(int row, int column, std::uint32_t index)
{
    if (!onSheet(row, column))
        return;
    StoredCell cell{row, std::uint16_t(column), CellKind::Text, true, {}};
    cell.text = {index, 0};
    add(cell);
}

void SheetData::addError(int row, int column, QStringView text)
{
    addOwnText(row, column, CellKind::Error, text);
}

void SheetData::finish()
{
    if (!m_sorted) {
        // Stable, so that of two cells at one place the later stays last and wins below.
        std::stable_sort(m_cells.begin(), m_cells.end(),
                         [](const StoredCell &a, const StoredCell &b) {
                             return a.row != b.row ? a.row < b.row : a.column < b.column;
                         });
        m_sorted = true;
    }
    // Of repeated places keep the last cell written; compacted in place, since a large sheet
    // holds millions of cells.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        if (kept > 0 && m_cells[kept - 1].row == m_cells[i].row &&
            m_cells[kept - 1].column == m_cells[i].column)
            m_cells[kept - 1] = m_cells[i];
        else
            m_cells[kept++] = m_cells[i];
    }
    m_cells.resize(kept);
    if (m_cells.capacity() - m_cells.size() > m_cells.size() / 4) // not worth a copy otherwise
        m_cells.shrink_to_fit();
    if (m_characters.capacity() - m_characters.size() > m_characters.size() / 4)
        m_characters.shrink_to_fit();
    m_rows.clear();
    for (std::uint32_t i = 0; i < m_cells.size(); ++i) {
        if (m_rows.empty() || m_rows.back().row != m_cells[i].row)
            m_rows.push_back({m_cells[i].row, i, 0});
        ++m_rows.back().count;
    }
}

CellValue SheetData::valueOf(const StoredCell &cell) const
{
    switch (cell.kind) {
    case CellKind::Text:
    case CellKind::Error: {
        if (cell.shared) {
            const StringPool &pool = *m_shared;
            return {cell.kind, 0,
                    cell.text.start < pool.size() ? pool[cell.text.start] : QString()};
        }
        if (cell.text.length == 0)
            return {cell.kind, 0, QString()};
        return {cell.kind, 0,
                QString(reinterpret_cast<const QChar *>(m_characters.data() + cell.text.start),
                        qsizetype(cell.text.length))};
    }
    default:
        return {cell.kind, cell.number, {}};
    }
}

const SheetData::RowSpan *SheetData::findRow(int row) const
{
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                                     [](const RowSpan &r, int n) { return r.row < n; });
    return it != m_rows.end() && it->row == row ? &*it : nullptr;
}

CellValue SheetData::cell(int row, int column) const
{
    const RowSpan *span = findRow(row);
    if (!span)
        return {};
    const auto first = m_cells.begin() + span->first;
    const auto last = first + span->count;
    const auto it = std::lower_bound(first, last, column,
                                     [](const StoredCell &c, int n) { return c.column < n; });
    return it != last && it->column == column ? valueOf(*it) : CellValue{};
}

void SheetData::fillBlock(CellBlock &block, int firstRow, int firstColumn) const
{
    const int lastRowWanted = firstRow + block.rows() - 1;
    const int lastColumn = firstColumn + block.columns() - 1;
    auto span = std::lower_bound(m_rows.begin(), m_rows.end(), firstRow,
                                 [](const RowSpan &r, int n) { return r.row < n; });
    for (; span != m_rows.end() && span->row <= lastRowWanted; ++span) {
        const auto first = m_cells.begin() + span->first;
        const auto last = first + span->count;
        auto it = std::lower_bound(first, last, firstColumn,
                                   [](const StoredCell &c, int n) { return c.column < n; });
        for (; it != last && it->column <= lastColumn; ++it)
            block.at(span->row - firstRow + 1, it->column - firstColumn + 1) = valueOf(*it);
    }
}

int SheetData::lastRow() const
{
    return m_rows.empty() ? 0 : m_rows.back().row;
}
