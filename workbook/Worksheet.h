#pragma once

#include "workbook/CellValue.h"

#include <QString>

// A worksheet as the spreadsheet offers it: its tab name, one cell, a block of cells.
class Worksheet {
public:
    virtual ~Worksheet() = default;

    virtual QString Name() const = 0;
    // One cell's value; row and column from 1.
    virtual CellValue Cell(int row, int column) const = 0;
    // The block between two A1 addresses, [row, column] from 1 relative to its top-left
    // cell. Throws Failure when an address is malformed or beyond the sheet.
    virtual CellBlock Range(const QString &first, const QString &last) const = 0;
};
