#pragma once

#include <QStringList>
#include <QTextStream>

// Exit statuses of the command line: 0 success (with --plan: the build would change
// nothing), 1 failure, 2 with --plan only: the build would change the project, 64 a usage
// error.
constexpr int kPlanChangesStatus = 2;
constexpr int kUsageStatus = 64;

// `tessily generate [--dry-run] [--plan] [--dump FILE] WORKBOOK...`: the Generate command
// without a window. The log goes to `out` as it is written, message boxes to `err`, the plan
// after the log. Returns 0 only when every run succeeded, 2 for a plan with changes.
int runGenerateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
