#pragma once

#include <QStringList>
#include <QTextStream>

// `tessily generate [--dry-run] [--dump FILE] WORKBOOK...`: the Generate command without a
// window. The log goes to `out` as it is written, message boxes to `err`. Returns 0 only when
// every run succeeded.
int runGenerateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
