#pragma once

#include <QString>

// Unpacks the items of a zip archive's top level (folders with all they hold, and files)
// into DestFolder, replacing files that exist. A non-empty Filter (a wildcard pattern such
// as "*.txt") limits the top-level items to those whose name matches it. An entry whose name
// is absolute or climbs out with ".." is refused before anything is written. Returns true;
// throws Failure naming the archive and the problem.
bool UnzipFile(const QString &ZipFile, const QString &DestFolder, const QString &Filter = {});
