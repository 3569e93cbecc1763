#include "check/WorkbookCheck.h"

#include "check/WorkbookFindings.h"
#include "common/CommaText.h"
#include "common/Failure.h"
#include "common/RunLog.h"
#include "common/TextTrim.h"
#include "project/ProjectPath.h"
#include "template/SignalSheetState.h"
#include "template/SignalTypesParser.h"
#include "template/TemplateModel.h"
#include "template/UserInputCheck.h"
#include "workbook/VersionInfo.h"
#include "workbook/WorkbookComponent.h"

#include <QDomElement>
#include <QFileInfo>

namespace {

struct WorkbookChecker {
    WorkbookComponent &excel;
    QString name;
    const TemplateModel &model;
    const SignalSheetState &sheet;
    DiagnosticList list;

    void add(int sheetNumber, int row, int column, const Finding &f)
    {
        QString sheetName = QStringLiteral("Sheet%1").arg(sheetNumber);
        try {
            sheetName = excel.Sheet(sheetNumber)->Name();
        } catch (const Failure &) {
        }
        list.add({name, row, column, sheetName, f.severity, f.message});
    }

    void version(const QDomElement &versionInfo)
    {
        TVersionInfo info;
        ReadVersionInfo(versionInfo, info);
        if (info.Version.isEmpty())
            return;
        QString cell;
        try {
            cell = cellText(excel.Sheet(info.Sheet)->Cell(info.Row, info.Col));
        } catch (const Failure &) {
            return; // a run skips the check too
        }
        if (cell != info.Version)
            add(info.Sheet, info.Row, info.Col,
                WorkbookFinding::versionMismatch(cell, info.Version));
    }

    // The main program B5 names, its user inputs read from their cells as a run reads them.
    void mainProgram()
    {
        QString type;
        try {
            type = trimText(cellText(excel.Sheet(1)->Cell(5, 2)));
        } catch (const Failure &) {
            return;
        }
        TCodeTab *const *found = type.isEmpty() ? nullptr : model.MainCode.find(type);
        if (!found) {
            add(1, 5, 2, WorkbookFinding::undefinedMainProgram(type));
            return;
        }
        const UserInputList &inputs = (*found)->InputVariables;
        for (qsizetype i = 0; i < inputs.size(); ++i) {
            if (const TUserInputType *input = inputs.valueAt(i).record.get())
                userInputCell(*input);
        }
    }

    void userInputCell(const TUserInputType &input)
    {
        const UserInputRecord &v = input.v;
        if (v.SheetNo == -1 || v.SheetNo == sheet.SignalTypeSheet)
            return; // the default, or a signal line's cell checked with the signal sheet
        QString value;
        try {
            value = cellText(excel.Sheet(v.SheetNo)->Cell(v.RowNo, v.ColNo));
        } catch (const Failure &) {
            return; // a run takes the default
        }
        const QString asRead = value;
        const UserInputCheckResult result = CheckUserInputValue(value, input);
        if (!result.accepted)
            add(v.SheetNo, v.RowNo, v.ColNo,
                WorkbookFinding::valueRejected(asRead, result.message, value));
    }

    // The signal sheet through the run's reader, every value kept as read; then each row as
    // the expansion and the reader's value check would see it.
    void signalSheet()
    {
        QStringList lines;
        RunLog log;
        const SignalValueCheck acceptAll = [](int, QString &, QString &) { return true; };
        try {
            ReadSignalSheet(excel, sheet.readerLayout(), acceptAll, lines, log);
        } catch (const Failure &e) {
            add(sheet.SignalTypeSheet, 0, 0, WorkbookFinding::signalSheetUnreadable(e.message()));
            return;
        }
        const SignalValueCheck check = signalColumnCheck(model);
        for (qsizetype row = std::max(sheet.SignalTypeRow, 0); row < lines.size(); ++row) {
            const QStringList cells = splitCommaText(lines[row]);
            const QString type = cells.value(sheet.SignalTypeColon);
            if (type.toUpper() == u"END")
                break;
            if (!signalRow(int(row), cells, type))
                continue;
            for (qsizetype col = 0; col < cells.size(); ++col) {
                QString value = cells[col];
                QString message;
                if (!check(int(col) + 1, value, message))
                    add(sheet.SignalTypeSheet, int(row), int(col) + 1,
                        WorkbookFinding::valueRejected(cells[col], message, value));
            }
        }
    }

    // Whether the row holds a signal (not empty, not disabled); reports a type the template
    // lacks.
    bool signalRow(int row, const QStringList &cells, const QString &type)
    {
        if (trimText(type).isEmpty())
            return false;
        if (sheet.RowDisableColon >= 0 && !trimText(cells.value(sheet.RowDisableColon)).isEmpty())
            return false;
        if (!model.SignTypes.find(type))
            add(sheet.SignalTypeSheet, row, sheet.SignalTypeColon + 1,
                WorkbookFinding::undefinedSignalType(type));
        return true;
    }
};

} // namespace

DiagnosticList CheckWorkbookAgainstTemplate(WorkbookComponent &excel, const QString &name,
                                            const QDomElement &versionInfo,
                                            const TemplateModel &model,
                                            const SignalSheetState &sheet)
{
    WorkbookChecker checker{excel, name, model, sheet, {}};
    checker.version(versionInfo);
    checker.mainProgram();
    checker.signalSheet();
    return checker.list;
}

QString templateNamedInB2(WorkbookComponent &excel, const QString &workbookPath, QString *asWritten)
{
    const QString b2 = cellText(excel.Sheet(1)->Cell(2, 2));
    if (asWritten)
        *asWritten = b2;
    return pathFromWorkbook(b2, QFileInfo(workbookPath).absolutePath());
}
