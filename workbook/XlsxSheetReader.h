#pragma once

#include "workbook/SheetData.h"
#include "workbook/ZipArchive.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace pugi {
class xml_node;
}

namespace xlsx {

class CellStyles;

// A cell reference ("B12") as row and column from 1; none when it is malformed or beyond
// the largest sheet.
struct CellRef {
    std::int32_t row = 0;
    std::int32_t column = 0;
};
std::optional<CellRef> parseCellRef(const char *text);

// A date serial of the workbook as days since 1899-12-30, the day the rest of the program
// counts from. In the 1904 system day 0 is 1904-01-01. The 1900 system counts a
// 29 February 1900 that never was, so its days before 1 March 1900 (serials below 61) lie
// one day later in the real calendar than the plain count says; a time of day alone (below
// 1) stays on day zero.
double dateFromSerial(double serial, bool date1904);

// Reads the cells of a worksheet part into `sheet` and finishes it. The bytes are parsed in
// place (and so changed). Shared-string cells keep their index into the workbook's table,
// which `sheet` holds. Throws Failure starting with `where` (the file and the part) when the
// part is no well-formed worksheet.
void readWorksheetPart(QByteArray &bytes, const QString &where, const CellStyles &styles,
                       bool date1904, SheetData &sheet);

// The same, reading the part as it is inflated: only a slice of it is held at a time. False,
// with `sheet` partly filled, when the part cannot be read in slices (comments or CDATA
// among the rows, another encoding, no rows element); the caller then reads it whole into a
// fresh sheet. Failures and cells are those readWorksheetPart gives for the whole part.
bool readWorksheetStream(ZipArchive::PartStream &part, const QString &where,
                         const CellStyles &styles, bool date1904, SheetData &sheet);

} // namespace xlsx
