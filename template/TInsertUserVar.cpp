#include "template/TInsertUserVar.h"

#include "common/CommaText.h"
#include "common/Failure.h"
#include "common/LenientInt.h"
#include "common/RunLog.h"
#include "template/UserInputCheck.h"
#include "workbook/WorkbookComponent.h"

struct TInsertUserVar::CellRef {
    int sheet = -1;
    int row = -1;
    int column = -1;
    QString defaultValue;
};

namespace {

int strictPart(const QStringList &parts, int index)
{
    if (index >= parts.size())
        throw Failure(QStringLiteral("User input entry has no part %1").arg(index + 1));
    const std::optional<int> n = tryReadInt(parts[index]);
    if (!n)
        throw Failure(QStringLiteral("'%1' is not a valid integer value").arg(parts[index]));
    return *n;
}

} // namespace

TInsertUserVar::TInsertUserVar(WorkbookComponent *workbook, SignalSheetState &signalSheet,
                               RunLog &log)
    : m_workbook(workbook), m_signalSheet(signalSheet), m_log(log)
{
}

TInsertUserVar::~TInsertUserVar() = default;

void TInsertUserVar::reset()
{
    DataSheet.reset();
    CurrentSheet = -1;
    Sheet = -1;
}

UserInputValue TInsertUserVar::ReadUserInputValue(int r, const QStringList &L, TUserInputType *R)
{
    CellRef cell;
    if (R) {
        cell = {R->v.SheetNo, r == -1 ? R->v.RowNo : r, R->v.ColNo, R->v.Default};
    } else {
        cell.sheet = strictPart(L, 0);
        cell.row = r == -1 ? strictPart(L, 1) : r;
        cell.column = strictPart(L, 2);
        if (L.size() < 4)
            throw Failure(QStringLiteral("User input entry has no default"));
        cell.defaultValue = L[3];
    }
    if (cell.sheet == -1)
        return {cell.defaultValue, false};

    Sheet = cell.sheet;
    if (cell.sheet != CurrentSheet)
        connectSheet(cell.sheet);
    try {
        UserInputValue result{rawValue(cell, R), false};
        if (result.value.isEmpty()) {
            result.value = cell.defaultValue;
            result.restart = result.value.contains(QStringLiteral("%%"));
        }
        if (R && !result.restart) {
            const UserInputCheckResult check = CheckUserInputValue(result.value, *R);
            if (!check.accepted)
                reportRejected(cell, check.message, result.value);
        }
        return result;
    } catch (const std::exception &) {
        // A cell that cannot be read (no workbook, a row or column outside the sheet, a
        // signal line that does not exist) gives the default, as an empty cell does.
        return {cell.defaultValue, false};
    }
}

void TInsertUserVar::connectSheet(int sheet)
{
    try {
        if (!m_workbook)
            throw Failure(QStringLiteral("No workbook"));
        DataSheet = m_workbook->Sheet(sheet);
        CurrentSheet = sheet;
    } catch (const std::exception &) {
        // The earlier connection stays; the next read of this sheet tries again.
        m_log.LogError(QStringLiteral("Not able to connect to the Excel Sheet"));
    }
}

QString TInsertUserVar::rawValue(const CellRef &cell, TUserInputType *R)
{
    if (cell.sheet == m_signalSheet.SignalTypeSheet)
        return signalLineCell(cell.row, cell.column);
    if (!R)
        return dataSheetCell(cell.row, cell.column);
    if (!R->v.ValueRead) {
        R->v.CellValue = dataSheetCell(cell.row, cell.column);
        R->v.ValueRead = true;
    }
    return R->v.CellValue;
}

QString TInsertUserVar::signalLineCell(int row, int column)
{
    const QStringList &lines = m_signalSheet.lines;
    if (row < 0 || row >= lines.size())
        throw Failure(QStringLiteral("No signal line %1").arg(row));
    TVarFromExcel &cache = m_signalSheet.VarFromExcel;
    if (row != cache.CurrentRow) {
        cache.CurrentRow = row;
        cache.RowStr = lines[row];
        cache.RowStrSplit = splitAtCommas(cache.RowStr);
    }
    const int index = column - 1;
    if (index < 0 || index >= cache.RowStrSplit.size())
        throw Failure(QStringLiteral("No cell %1 in signal line %2").arg(column).arg(row));
    return cache.RowStrSplit[index];
}

QString TInsertUserVar::dataSheetCell(int row, int column) const
{
    if (!DataSheet)
        throw Failure(QStringLiteral("No worksheet connected"));
    if (row < 1 || column < 1)
        throw Failure(QStringLiteral("No cell at row %1, column %2").arg(row).arg(column));
    return cellText(DataSheet->Cell(row, column));
}

void TInsertUserVar::reportRejected(const CellRef &cell, const QString &message,
                                    const QString &value)
{
    // Built whole before anything is logged: a cell that cannot be read again leaves the
    // log untouched and the value at its default.
    const QString first = valueNotAcceptedLine(dataSheetCell(cell.row, cell.column),
                                               DataSheet->Name(), cell.row, cell.column);
    m_log.LogLine(first);
    m_log.LogLine(message);
    m_log.LogLine(usingDefaultValueLine(value));
}
