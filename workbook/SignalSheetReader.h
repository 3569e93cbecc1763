#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class RunLog;
class WorkbookComponent;

// Where the signals stand on the signal sheet; set from the template's signal-type section.
struct SignalSheetLayout {
    int SignalTypeSheet = 0;        // sheet number, from 1
    int SignalTypeRow = 0;          // first signal row, from 1
    int SignalTypeColon = 0;        // column of the signal type, from 0
    int SignalTypeRightMostCol = 0; // number of columns read, from column A
};

// Tests one value of a column (from 1) against the user input the template defines for that
// column. Returns false when it rejects the value; it has then replaced `value` by the
// input's default and put the reason into `message`. Columns without a user input accept
// every value.
using SignalValueCheck = std::function<bool(int column, QString &value, QString &message)>;

// Copies the signal sheet into signal lines, appended to `lines`: SignalTypeRow placeholder
// lines, then one comma text per sheet row from SignalTypeRow on, up to the END row or the
// 50th consecutive row with an empty type cell, both included. The sheet is fetched 500 rows
// at a time. Rejected values are replaced and reported with three plain lines. Throws Failure
// when the sheet or a block cannot be read; the lines appended so far stay.
void ReadSignalSheet(WorkbookComponent &excel, const SignalSheetLayout &layout,
                     const SignalValueCheck &check, QStringList &lines, RunLog &log);
