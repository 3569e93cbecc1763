#pragma once

#include "workbook/SheetData.h"

#include <QString>
#include <memory>

// One workbook file read by one of the file readers. Sheets are numbered from 0 in tab
// order here; each is loaded on first use and kept.
class WorkbookFile {
public:
    virtual ~WorkbookFile() = default;

    virtual int sheetCount() const = 0;
    virtual QString sheetName(int index) const = 0;
    // False for chart sheets, dialog sheets and macro sheets: they hold no cells.
    virtual bool isWorksheet(int index) const = 0;
    // Throws Failure naming the file when the sheet cannot be read.
    virtual const SheetData &sheet(int index) = 0;
    // Lets go of the sheets read so far (a reference sheet() gave is no longer valid); a sheet
    // asked for again is read again.
    virtual void forgetSheets() {}
};

// Opens a workbook file by what its bytes hold (a zip package as .xlsx, .xlsm or .ods; a
// compound file as .xls), not by its extension. Throws Failure naming the file and the
// problem when it is missing, no workbook, encrypted or damaged.
std::unique_ptr<WorkbookFile> openWorkbookFile(const QString &path);

// The readers, each throwing Failure naming the file.
std::unique_ptr<WorkbookFile> openXlsxFile(const QString &path);
std::unique_ptr<WorkbookFile> openXlsFile(const QString &path);
std::unique_ptr<WorkbookFile> openOdsFile(const QString &path);
