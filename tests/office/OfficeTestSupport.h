#pragma once

#include "workbook/OfficeWorkbooks.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

// The tests share one LibreOffice, started once for the program and reached as the
// engineer's Calc would be: on the pipe that TESSILY_OFFICE_PIPE names.
QString sharedOfficePipe();

// Options that make a bridge start a LibreOffice of its own (nobody listens on the pipe),
// with short limits for the fault tests.
OfficeBridgeOptions ownOfficeOptions(const QString &tag, int callSeconds = 60);

// The pipe of the LibreOffice that a bridge with ownOfficeOptions(tag) starts.
QString ownOfficePipe(const QString &tag);

// The message of the Failure `call` throws, or "no failure".
QString failureOf(const std::function<void()> &call);

// The process id of the LibreOffice listening on `pipe` (one the test started), or 0.
qint64 officeListeningOn(const QString &pipe);

using SheetRows = std::vector<std::vector<QVariant>>;

// The table:table element of an .ods sheet: texts, numbers and booleans from A1.
QByteArray odsTable(const QString &name, const SheetRows &rows);

// Writes an .ods workbook with these tables and, when `basic` is not empty, a Basic library
// "Standard" whose module "Module1" holds that source.
QString writeMacroOds(const QString &path, const QByteArray &tables, const QString &basic);
