#pragma once

#include "workbook/Worksheet.h"

#include <QString>
#include <QVariant>
#include <memory>

// The spreadsheet application as the generator uses it. Every call may throw Failure; the
// calling run phase decides what follows.
class WorkbookComponent {
public:
    virtual ~WorkbookComponent() = default;

    // Connects to the application and makes it visible.
    virtual void Attach() = 0;
    // Lets go of the application; it keeps its workbooks open.
    virtual void Detach() = 0;
    // Makes the open workbook with this file name (no folder) the active one.
    virtual void Activate(const QString &fileName) = 0;
    // Opens the workbook at `path`; it becomes the active one.
    virtual void Open(const QString &path) = 0;
    // File name and folder (without trailing separator) of the active workbook.
    virtual QString ActiveWorkbookName() const = 0;
    virtual QString ActiveWorkbookPath() const = 0;
    // Sheet n of the active workbook, from 1 in tab order; throws when there is no sheet n
    // or it is no worksheet.
    virtual std::shared_ptr<Worksheet> Sheet(int n) = 0;
    // Runs a workbook macro with no or one text argument and returns its result.
    virtual QVariant Run(const QString &macro) = 0;
    virtual QVariant Run(const QString &macro, const QString &argument) = 0;
    // Lets go of the cells read so far, which a reader may keep for the next run: a run that
    // has read its workbook calls it before it writes the project, which then has that memory.
    // Cells asked for later are read again.
    virtual void ForgetCells() {}
};
