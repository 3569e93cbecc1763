#pragma once

#include "run/ChangePlan.h"

#include <QStringList>

// The plan as lines for a terminal: per project its folders, programs (source diffs indented
// below), variable groups and files, each item marked "+" created, "-" removed, "~" changed,
// "=" left as it is, "!" skipped, "*" written anew by the project database; then the summary.
QStringList changePlanText(const ChangePlan &plan);

// The last line of the text: the counts.
QString changePlanSummaryLine(const ChangePlan &plan);
