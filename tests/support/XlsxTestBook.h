#pragma once

#include <QString>
#include <xlsxwriter.h>

// A workbook written with libxlsxwriter for one test. The workbook is written to `path` by
// save(); one never saved is still closed (and written) when the object goes.
class XlsxTestBook {
public:
    explicit XlsxTestBook(const QString &path, bool constantMemory = false);
    ~XlsxTestBook();
    XlsxTestBook(const XlsxTestBook &) = delete;
    XlsxTestBook &operator=(const XlsxTestBook &) = delete;

    lxw_workbook *workbook() const { return m_workbook; }
    lxw_worksheet *addSheet(const char *name = nullptr);
    // A chart sheet showing a column chart of `range` (such as "=Sheet1!$A$1:$A$3").
    void addChartSheet(const char *name, const char *range);
    // A cell format with a number format code, or with a built-in number format id.
    lxw_format *numberFormat(const char *code);
    lxw_format *builtInNumberFormat(int id);

    // Writes the file; fails the current test when libxlsxwriter reports an error.
    QString save();

private:
    QString m_path;
    lxw_workbook *m_workbook = nullptr;
};
