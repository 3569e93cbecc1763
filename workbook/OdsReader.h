#pragma once

#include "workbook/WorkbookFile.h"

#include <cstdint>

// Bounds on what one .ods file may make the reader store. A few hundred bytes of XML can ask
// for a value repeated in every cell of a sheet, or for billions of spaces in a text; past
// these bounds the file is refused as too large rather than exhausting memory.
struct OdsLimits {
    // A stored cell takes about 24 bytes plus its text: 16 million of them are some 400 MB,
    // far beyond any signal workbook (50,000 rows of 20 columns are one million cells).
    std::int64_t maxCells = 16 * 1024 * 1024;
    // Spaces that text:s elements add over the whole workbook, 32 MB of text.
    std::int64_t maxSpaces = 16 * 1024 * 1024;
};

// Reads an OpenDocument spreadsheet: every table of content.xml is a worksheet, in order.
// All sheets are read at once, since they share one XML part. Throws Failure naming the file
// when it is missing, no spreadsheet, encrypted, damaged or beyond `limits`.
std::unique_ptr<WorkbookFile> openOdsFile(const QString &path, const OdsLimits &limits);
