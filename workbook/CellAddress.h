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

// Column letters of a column number from 1: 1 -> "A", 27 -> "AA".
QString columnName(int column);
