#include "tools/WorkbookWriter.h"

#include "common/Failure.h"

#include <QFile>
#include <xlsxwriter.h>

namespace {

void writeCell(lxw_worksheet *sheet, int row, int col, const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        worksheet_write_boolean(sheet, row, col, v.toBool(), nullptr);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        worksheet_write_number(sheet, row, col, v.toDouble(), nullptr);
        break;
    default:
        if (v.isValid())
            worksheet_write_string(sheet, row, col, v.toString().toUtf8().constData(), nullptr);
    }
}

} // namespace

void writeXlsx(const QString &path, const std::vector<SheetContent> &sheets)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows are written in order; keeps big sheets cheap
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book)
        throw Failure(path + QStringLiteral(": cannot create the workbook"));
    for (const SheetContent &content : sheets) {
        lxw_worksheet *sheet = workbook_add_worksheet(book, content.name.toUtf8().constData());
        for (std::size_t r = 0; sheet && r < content.rows.size(); ++r)
            for (std::size_t c = 0; c < content.rows[r].size(); ++c)
                writeCell(sheet, int(r), int(c), content.rows[r][c]);
    }
    if (const lxw_error rc = workbook_close(book); rc != LXW_NO_ERROR)
        throw Failure(path + QStringLiteral(": cannot write the workbook (") +
                      QString::fromUtf8(lxw_strerror(rc)) + u')');
}
