#pragma once

#include <QStringList>
#include <QTextStream>

// The command line faces of the core. Each returns the program's exit status; normal
// output goes to `out`, error messages to `err`.
int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err);

// `tessily cells [--office] WORKBOOK SHEET RANGE`: every cell of the block as the generator
// reads it, one row per line, cells separated by tabs; --office reads it through LibreOffice.
int runCellsCommand(QStringList arguments, QTextStream &out, QTextStream &err);

// `tessily office`: starts a visible LibreOffice Calc listening on Tessily's pipe.
int runOfficeCommand(QTextStream &out, QTextStream &err);
