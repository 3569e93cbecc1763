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
    QByteArray endTag; // "</sheetData>" with the part's prefix; empty for <sheetData/>
};

// The layout up to the start of the rows (rowsEnd is set only for <sheetData/>), found in
// the part's first bytes: what it finds in a beginning of the part, it finds in the whole.
// None when the bytes do not reach the rows or the part cannot be sliced safely.
std::optional<SheetLayout> findSheetHead(QByteArrayView part);

// None when the part cannot be sliced safely (not UTF-8, comments or CDATA sections in the
// rows, no <sheetData> found); the part is then parsed whole.
std::optional<SheetLayout> findSheetLayout(QByteArrayView part);

// The position of the first "<!" or "<?" that starts at or after `from` (a comment, CDATA
// section or processing instruction, which could hide or fake a tag), or -1.
qsizetype findMarkupDeclaration(QByteArrayView text, qsizetype from);

// The end of the next slice of rows that starts at `from`: just after the first row end tag
// at or beyond `from + target`, or `end` when there is none.
qsizetype nextSliceEnd(QByteArrayView part, qsizetype from, qsizetype target, qsizetype end);

// The position just after the first row end tag that starts after `from` and lies in
// [searchFrom, end), or -1 when there is none.
qsizetype findRowEnd(QByteArrayView part, qsizetype from, qsizetype searchFrom, qsizetype end);

} // namespace xlsx
