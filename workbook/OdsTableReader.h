#pragma once

#include "workbook/OdsCellText.h"
#include "workbook/OdsNames.h"
#include "workbook/SheetData.h"

#include <optional>
#include <vector>

// Reads one table:table element into a sheet: its rows, also those inside header-row, row
// group and rows elements, with their repeat counts. Empty cells are never stored, so the
// trailing rows and columns that spreadsheet programs write repeated to the sheet's end cost
// nothing; values repeated past the sheet's end are dropped.
class OdsTableReader {
public:
    // `cellBudget` is the number of cells the workbook may still store; reading throws
    // Failure naming the file and the sheet when a table needs more (`cellLimit` is the whole
    // budget, for the message).
    OdsTableReader(const OdsNames &names, OdsCellText &text, std::int64_t &cellBudget,
                   std::int64_t cellLimit, const QString &path)
        : m_names(names), m_text(text), m_cellBudget(cellBudget), m_cellLimit(cellLimit),
          m_path(path)
    {
    }

    SheetData read(const pugi::xml_node &table, const QString &sheetName);

private:
    struct RowCell {
        int column;
        std::uint32_t value; // index into m_values
    };

    void readRow(const pugi::xml_node &row);
    void collectCells(const pugi::xml_node &row);
    std::optional<CellValue> valueOf(const pugi::xml_node &cell);
    bool isRowContainer(const char *name) const;
    bool isCell(const char *name) const;

    const OdsNames &m_names;
    OdsCellText &m_text;
    std::int64_t &m_cellBudget;
    std::int64_t m_cellLimit;
    const QString &m_path;

    // State while reading one table.
    SheetData *m_sheet = nullptr;
    QString m_sheetName;
    std::int64_t m_nextRow = 1;
    std::vector<CellValue> m_values; // the distinct values of the current row element
    std::vector<RowCell> m_rowCells; // its non-empty cells, repeats spelt out
};
