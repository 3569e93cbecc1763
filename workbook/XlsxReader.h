#pragma once

#include "workbook/WorkbookFile.h"

#include <memory>

class ZipArchive;

// An .xlsx or .xlsm workbook read from its zip package: the sheet list and the cell formats
// when it is opened, the shared strings and each sheet on first use.
class XlsxWorkbook final : public WorkbookFile {
public:
    // Throws Failure naming the file when it is no readable workbook package.
    explicit XlsxWorkbook(const QString &path);
    ~XlsxWorkbook() override;

    int sheetCount() const override;
    QString sheetName(int index) const override;
    bool isWorksheet(int index) const override;
    const SheetData &sheet(int index) override;
    void forgetSheets() override;

private:
    struct Parts; // the package, the sheet list, the loaded sheets and strings
    std::unique_ptr<Parts> m_parts;
};
