#pragma once

#include "common/Diagnostics.h"

#include <QString>

// The problems the workbook check reports, each worded in one place.
namespace WorkbookFinding {

Finding unreadable(const QString &message);
Finding templateMissing(const QString &asWritten, const QString &resolved);
Finding otherTemplate(const QString &asWritten);
Finding versionMismatch(const QString &cell, const QString &version);
Finding undefinedSignalType(const QString &type);
Finding valueRejected(const QString &value, const QString &reason, const QString &fallback);
Finding undefinedMainProgram(const QString &type);
Finding signalSheetUnreadable(const QString &message);

} // namespace WorkbookFinding
