#pragma once

#include "common/Diagnostics.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// The template check of a template and, when given, a workbook: everything both checks find.
// The files are named in the diagnostics as they are given here.
DiagnosticList CheckTemplateAndWorkbook(const QString &templatePath, const QString &workbookPath);

// `tessily check [--json] TEMPLATE [WORKBOOK]`: the diagnostics sorted by file and place, one
// per line, then the counts (or one JSON document with --json). Exit status 1 when there is
// an error, 0 otherwise, 2 for a wrong command line.
int runCheckCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
