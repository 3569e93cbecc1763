#pragma once

#include <QStringList>
#include <QTextStream>

// The command line faces of the core. Each returns the program's exit status; normal
// output goes to `out`, error messages to `err`.
int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err);

// `tessily cells WORKBOOK SHEET RANGE`: every cell of the block as the generator reads it,
// one row per line, cells separated by tabs.
int runCellsCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
