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

void SheetData::addNumber(int row, int column, double value)
{
    add({row, column, CellKind::Number, false, 0, value});
}

void SheetData::addBoolean(int row, int column, bool value)
{
    add({row, column, CellKind::Boolean, false, 0, value ? 1.0 : 0.0});
}

void SheetData::addDate(int row, int column, double serial)
{
    add({row, column, CellKind::Date, false, 0, serial});
}

void SheetData::addText(int row, int column, const QString &text)
{
    m_strings.push_back(text);
    add({row, column, CellKind::Text, false, std::uint32_t(m_strings.size() - 1), 0});
}

void SheetData::addSharedText(int row, int column, std::uint32_t index)
{
    add({row, column, CellKind::Text, true, index, 0});
}

void SheetData::addError(int row, int column, const QString &text)
{
    m_strings.push_back(text);
    add({row, column, CellKind::Error, false, std::uint32_t(m_strings.size() - 1), 0});
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
        const StringPool &pool = cell.shared ? *m_shared : m_strings;
        const QString text = cell.string < pool.size() ? pool[cell.string] : QString();
        return {cell.kind, 0, text};
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
