#include "workbook/FileWorkbooks.h"

#include "common/Failure.h"
#include "workbook/CellAddress.h"
#include "workbook/WorkbookFile.h"

#include <QFileInfo>

namespace {

class FileWorksheet final : public Worksheet {
public:
    FileWorksheet(std::shared_ptr<WorkbookFile> file, int index, QString path)
        : m_file(std::move(file)), m_index(index), m_path(std::move(path))
    {
    }

    QString Name() const override { return m_file->sheetName(m_index); }

    CellValue Cell(int row, int column) const override
    {
        if (row < 1 || row > kMaxSheetRows || column < 1 || column > kMaxSheetColumns)
            throw Failure(
                m_path + QStringLiteral(": cell (%1,%2) is beyond the sheet").arg(row).arg(column));
        return m_file->sheet(m_index).cell(row, column);
    }

    CellBlock Range(const QString &first, const QString &last) const override
    {
        const CellRange range = cellRange(first, last, m_path);
        CellBlock block(range.rows, range.columns);
        m_file->sheet(m_index).fillBlock(block, range.top, range.left);
        return block;
    }

private:
    std::shared_ptr<WorkbookFile> m_file; // keeps the file read as it was when bound
    int m_index;
    QString m_path;
};

QString absolutePath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

FileWorkbooks::FileWorkbooks() = default;
FileWorkbooks::~FileWorkbooks() = default;

void FileWorkbooks::Attach() {}
void FileWorkbooks::Detach() {}

const FileWorkbooks::Book &FileWorkbooks::active() const
{
    if (m_books.empty())
        throw Failure(QStringLiteral("No workbook is open"));
    return m_books.back();
}

void FileWorkbooks::makeActive(std::size_t index)
{
    Book book = std::move(m_books[index]);
    m_books.erase(m_books.begin() + std::ptrdiff_t(index));
    m_books.push_back(std::move(book));
}

void FileWorkbooks::reloadIfChanged(Book &book)
{
    const QFileInfo info(book.path);
    if (!info.exists())
        return; // like the spreadsheet application, keep what was read
    if (info.lastModified() == book.modified && info.size() == book.size)
        return;
    book.file = openWorkbookFile(book.path);
    book.modified = info.lastModified();
    book.size = info.size();
}

void FileWorkbooks::Activate(const QString &fileName)
{
    for (std::size_t i = m_books.size(); i-- > 0;) {
        if (QFileInfo(m_books[i].path).fileName().compare(fileName, Qt::CaseInsensitive) == 0) {
            reloadIfChanged(m_books[i]);
            makeActive(i);
            return;
        }
    }
    throw Failure(QStringLiteral("No open workbook is named ") + fileName);
}

void FileWorkbooks::Open(const QString &path)
{
    const QString full = absolutePath(path);
    for (std::size_t i = 0; i < m_books.size(); ++i) {
        if (m_books[i].path == full) {
            reloadIfChanged(m_books[i]);
            makeActive(i);
            return;
        }
    }
    const QFileInfo info(full);
    Book book{full, info.lastModified(), info.size(), openWorkbookFile(full)};
    m_books.push_back(std::move(book));
}

QString FileWorkbooks::ActiveWorkbookName() const
{
    return QFileInfo(active().path).fileName();
}

QString FileWorkbooks::ActiveWorkbookPath() const
{
    return QFileInfo(active().path).absolutePath();
}

std::shared_ptr<Worksheet> FileWorkbooks::Sheet(int n)
{
    const Book &book = active();
    if (n < 1 || n > book.file->sheetCount())
        throw Failure(book.path + QStringLiteral(": there is no sheet %1").arg(n));
    if (!book.file->isWorksheet(n - 1))
        throw Failure(book.path + QStringLiteral(": sheet %1 (").arg(n) +
                      book.file->sheetName(n - 1) + QStringLiteral(") is no worksheet"));
    return std::make_shared<FileWorksheet>(book.file, n - 1, book.path);
}

QVariant FileWorkbooks::Run(const QString &macro)
{
    throw Failure(QStringLiteral("The workbook reader cannot run the macro ") + macro);
}

QVariant FileWorkbooks::Run(const QString &macro, const QString &)
{
    return Run(macro);
}

void FileWorkbooks::ForgetCells()
{
    for (Book &book : m_books) {
        if (book.file)
            book.file->forgetSheets();
    }
}
