#pragma once

#include "workbook/WorkbookFile.h"
#include "workbook/XlsGlobals.h"

#include <QByteArray>
#include <memory>
#include <vector>

// An Excel 97-2003 workbook (.xls): the Workbook stream of a compound file, read once; each
// worksheet's cells are read from it on first use and kept.
class XlsReader final : public WorkbookFile {
public:
    // Throws Failure naming the file when it is no readable .xls workbook.
    explicit XlsReader(const QString &path);
    ~XlsReader() override;

    int sheetCount() const override;
    QString sheetName(int index) const override;
    bool isWorksheet(int index) const override;
    const SheetData &sheet(int index) override;
    void forgetSheets() override;

private:
    const XlsSheetEntry &entry(int index) const;

    QString m_path;
    QByteArray m_stream;
    XlsGlobals m_globals;
    std::vector<std::unique_ptr<SheetData>> m_sheets; // by index, null until first read
};
