#pragma once

#include "workbook/CellValue.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <vector>

// The values of a block of a Calc sheet, as the file readers give them: a number whose
// format is a date or time is a date, one whose format is logical a boolean, a formula its
// computed value, an error its text as Calc shows it. Reads the block in a few calls.
// `top` and `left` count from 1; the cells come row by row.
std::vector<CellValue> readCalcCells(const css::uno::Reference<css::sheet::XSpreadsheet> &sheet,
                                     const css::uno::Reference<css::util::XNumberFormats> &formats,
                                     int top, int left, int rows, int columns);
