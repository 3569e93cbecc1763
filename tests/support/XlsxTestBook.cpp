#include "support/XlsxTestBook.h"

#include <QFile>
#include <gtest/gtest.h>

XlsxTestBook::XlsxTestBook(const QString &path, bool constantMemory) : m_path(path)
{
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    m_workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
}

XlsxTestBook::~XlsxTestBook()
{
    if (m_workbook)
        workbook_close(m_workbook);
}

lxw_worksheet *XlsxTestBook::addSheet(const char *name)
{
    return workbook_add_worksheet(m_workbook, name);
}

void XlsxTestBook::addChartSheet(const char *name, const char *range)
{
    lxw_chartsheet *sheet = workbook_add_chartsheet(m_workbook, name);
    lxw_chart *chart = workbook_add_chart(m_workbook, LXW_CHART_COLUMN);
    chart_add_series(chart, nullptr, range);
    chartsheet_set_chart(sheet, chart);
}

lxw_format *XlsxTestBook::numberFormat(const char *code)
{
    lxw_format *format = workbook_add_format(m_workbook);
    format_set_num_format(format, code);
    return format;
}

lxw_format *XlsxTestBook::builtInNumberFormat(int id)
{
    lxw_format *format = workbook_add_format(m_workbook);
    format_set_num_format_index(format, uint8_t(id));
    return format;
}

QString XlsxTestBook::save()
{
    lxw_workbook *workbook = m_workbook;
    m_workbook = nullptr;
    const lxw_error error = workbook_close(workbook);
    EXPECT_EQ(error, LXW_NO_ERROR) << lxw_strerror(error);
    return m_path;
}
