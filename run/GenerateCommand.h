#pragma once

#include "common/ExitStatus.h"

#include <QStringList>
#include <QTextStream>

// `tessily generate [--dry-run] [--plan] [--dump FILE] WORKBOOK...`: the Generate command
// without a window. The log goes to `out` as it is written, message boxes to `err`, the plan
// after the log. Returns 0 only when every run succeeded, 2 for a plan with changes.
int runGenerateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
