#pragma once

#include "template/SignalSheetState.h"
#include "template/TUserInputType.h"

#include <QString>
#include <QStringList>
#include <memory>

class RunLog;
class WorkbookComponent;
class Worksheet;

// A user input's value as the reader hands it to the placeholder substitution.
struct UserInputValue {
    QString value;
    bool restart = false; // the value is the default and the default holds "%%"
};

// Reads user-input values from the workbook. One lives as long as the window; it keeps the
// worksheet it last connected to, so that a run reading many inputs of one sheet connects
// once. The signal lines and the signal sheet layout come from the run's SignalSheetState.
class TInsertUserVar {
public:
    TInsertUserVar(WorkbookComponent *workbook, SignalSheetState &signalSheet, RunLog &log);
    ~TInsertUserVar();

    // The workbook component to read cells through; none makes every cell read fail.
    void setWorkbook(WorkbookComponent *workbook) { m_workbook = workbook; }
    // Forgets the connected worksheet, as the run's reset does.
    void reset();

    // The value of a user input: from its record R when there is one, else from the parts
    // sheet, row, column, default of L (parts that are no numbers throw Failure). Row r of -1
    // reads the row of the definition; r from 0 is the signal line being expanded and
    // replaces it. The value is the default when the input names no sheet, when the cell is
    // empty, unreadable or fails the type and range test (reported in three plain log lines).
    // A record keeps what it read from a sheet other than the signal sheet for the rest of
    // the run.
    UserInputValue ReadUserInputValue(int r, const QStringList &L, TUserInputType *R);

    std::shared_ptr<Worksheet> DataSheet; // the worksheet last connected
    QStringList VarLine;                  // scratch list the substitution fills
    int CurrentSheet = -1;                // number of DataSheet's worksheet; -1 for none
    int Sheet = -1;                       // worksheet of the value being read

private:
    struct CellRef;

    void connectSheet(int sheet);
    QString rawValue(const CellRef &cell, TUserInputType *R);
    QString signalLineCell(int row, int column);
    QString dataSheetCell(int row, int column) const;
    void reportRejected(const CellRef &cell, const QString &message, const QString &value);

    WorkbookComponent *m_workbook;
    SignalSheetState &m_signalSheet;
    RunLog &m_log;
};
