#pragma once

#include <QString>
#include <QStringView>
#include <optional>

struct CellAddress {
    int row = 0;    // from 1
    int column = 0; // from 1
};

// Reads an A1 address: column letters, then the row number ("B2", "aa10"); `$` marks are
// allowed as the spreadsheet allows them. No address when it is malformed or beyond the
// largest sheet.
std::optional<CellAddress> parseA1(QStringView text);

// The cells between two A1 addresses given in either order, as a worksheet's Range takes them.
struct CellRange {
    int top = 0, left = 0, rows = 0, columns = 0;
};

// Throws Failure, naming `where` (none: the message starts with "Range"), when an address is
// malformed or the range holds more cells than any caller could hold as values.
CellRange cellRange(const QString &first, const QString &last, const QString &where);

// Column letters of a column number from 1: 1 -> "A", 27 -> "AA".
QString columnName(int column);
