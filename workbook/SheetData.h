#pragma once

#include "workbook/CellValue.h"
#include "workbook/TextPool.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

// The largest sheet the spreadsheet knows: rows and columns beyond these are no cells.
constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetColumns = 16384;

// One sheet loaded into memory once, compactly: only the cells that hold something, sorted
// by row and column, with their texts one after another in one block of characters (shared
// strings of the workbook stay shared). A text becomes a QString only when it is read: a
// QString per cell costs a heap block each, and a large sheet holds hundreds of thousands.
// Reading one cell costs a binary search; reading a block costs time in proportion to the
// rows of the block and the cells they hold, whatever the size of the sheet.
class SheetData {
public:
    using StringPool = TextPool;

    SheetData();

    // Texts that several sheets share (the shared-string table of a workbook).
    void setSharedStrings(std::shared_ptr<const StringPool> strings);

    // Adds a cell; row and column from 1, cells beyond the sheet are left out. A later cell at
    // the same place replaces an earlier one. Cells may come in any order; finish() sorts them
    // when they did not come sorted.
    void addNumber(int row, int column, double value);
    void addBoolean(int row, int column, bool value);
    void addDate(int row, int column, double serial);
    void addText(int row, int column, QStringView text);
    void addText(int row, int column, QLatin1StringView text);
    void addSharedText(int row, int column, std::uint32_t index); // index into shared strings
    void addError(int row, int column, QStringView text);
    void finish();
    // Sets room aside for this many cells, when a reader knows about how many will come.
    void reserve(std::size_t cells) { m_cells.reserve(cells); }

    CellValue cell(int row, int column) const;
    // Fills `block` (already sized) from the sheet's cells of rows [firstRow, lastRow] and
    // columns [firstColumn, lastColumn], all from 1.
    void fillBlock(CellBlock &block, int firstRow, int firstColumn) const;

    std::size_t cellCount() const { return m_cells.size(); }
    int lastRow() const;

private:
    // 16 bytes: a large sheet holds millions.
    struct StoredCell {
        std::int32_t row;
        std::uint16_t column; // no sheet has more than kMaxSheetColumns
        CellKind kind;
        bool shared; // a Text cell whose `text.start` indexes the shared strings
        union {
            double number; // Number, Boolean and Date cells
            struct {
                std::uint32_t start; // in m_characters, or the shared string's index
                std::uint32_t length;
            } text; // Text and Error cells
        };
    };
    struct RowSpan {
        std::int32_t row;
        std::uint32_t first; // index of the row's first cell
        std::uint32_t count;
    };

    void add(StoredCell cell);
    void addNumeric(int row, int column, CellKind kind, double number);
    void addOwnText(int row, int column, CellKind kind, QStringView text);
    bool addTextCell(int row, int column, CellKind kind, qsizetype length);
    CellValue valueOf(const StoredCell &cell) const;
    const RowSpan *findRow(int row) const;

    std::shared_ptr<const StringPool> m_shared;
    std::vector<char16_t> m_characters; // the texts of Text and Error cells, one after another
    std::vector<StoredCell> m_cells;
    std::vector<RowSpan> m_rows;
    bool m_sorted = true;
};
