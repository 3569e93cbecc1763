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
    // Memory the parsed content.xml may take. The parser takes some 64 bytes for each
    // element and 40 for each attribute, so a part of short empty elements ("<a/>") takes 16
    // times its size; LibreOffice's markup for 200,000 rows of 20 cells takes about 1 GB.
    std::int64_t maxXmlBytes = 2048ll * 1024 * 1024;
    // LibreOffice holds at most 10,000 sheets.
    int maxSheets = 10000;
};

// Reads an OpenDocument spreadsheet: every table of content.xml is a worksheet, in order.
// All sheets are read at once, since they share one XML part. Throws Failure naming the file
// when it is missing, no spreadsheet, encrypted, damaged or beyond `limits`.
std::unique_ptr<WorkbookFile> openOdsFile(const QString &path, const OdsLimits &limits);
