#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace xlsx {

// Where the rows of a worksheet part lie, found by a plain scan of its bytes, so that the
// rows can be parsed a slice at a time: a whole sheet parsed at once takes about five times
// its own size in document nodes, hundreds of megabytes for a large sheet.
struct SheetLayout {
    QByteArray rootName;     // the root element's local name ("worksheet")
    QByteArray dimension;    // the ref of <dimension>, such as "A1:T50000"; may be empty
    qsizetype rowsBegin = 0; // the content of <sheetData>: a run of <row> elements
    qsizetype rowsEnd = 0;
};

// None when the part cannot be sliced safely (not UTF-8, comments or CDATA sections in the
// rows, no <sheetData> found); the part is then parsed whole.
std::optional<SheetLayout> findSheetLayout(QByteArrayView part);

// The end of the next slice of rows that starts at `from`: just after the first row end tag
// at or beyond `from + target`, or `end` when there is none.
qsizetype nextSliceEnd(QByteArrayView part, qsizetype from, qsizetype target, qsizetype end);

} // namespace xlsx
