#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The text operations every producer of descriptor text uses.

// The text without its last character when that is a line feed; only one is removed.
QString StripTrailingLineFeed(const QString &text);

// Removes the indentation common to the non-blank lines (spaces only: a tab counts as text),
// one final line feed of each line, and a blank first line.
void UnindentLines(QStringList &lines);

// Splits a text at every line break (CR LF, CR or LF). A break at the very end starts no
// further line; an empty text is one empty line.
QStringList splitTextLines(QStringView text);

// Puts an element's text into a text list: appended as one piece, split into lines, then the
// whole list unindented.
void appendTextLines(QStringList &lines, QStringView text);
