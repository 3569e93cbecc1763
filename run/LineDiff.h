#pragma once

#include <QStringList>

// A unified diff of two texts given as lines ("@@ -a,b +c,d @@" hunks with `context` lines
// around each change, lines prefixed by " ", "-" or "+"), without file header lines. Empty
// when the texts are equal. Lines shared at both ends are set aside first; when what remains
// differs in more lines than a bound, the remainder is shown as removed and added whole rather
// than searched for the shortest edit.
QStringList unifiedDiff(const QStringList &before, const QStringList &after, int context = 3);
