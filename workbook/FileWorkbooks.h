#pragma once

#include "workbook/WorkbookComponent.h"

#include <QDateTime>
#include <vector>

class WorkbookFile;

// The workbook component backed by the workbook files themselves. Workbooks stay open as
// they would in the spreadsheet application, and the active one is the one opened or
// activated last. Unlike the spreadsheet application, two workbooks of one file name from
// different folders can be open at once; activating by name takes the one used last.
// A workbook whose file changed on disk since it was read is read again when it is opened
// or activated, so a user who edits and saves between two runs never gets stale cells.
class FileWorkbooks final : public WorkbookComponent {
public:
    FileWorkbooks();
    ~FileWorkbooks() override;

    void Attach() override;
    void Detach() override;
    void Activate(const QString &fileName) override;
    void Open(const QString &path) override;
    QString ActiveWorkbookName() const override;
    QString ActiveWorkbookPath() const override;
    std::shared_ptr<Worksheet> Sheet(int n) override;
    // The file reader cannot run macros: always throws.
    QVariant Run(const QString &macro) override;
    QVariant Run(const QString &macro, const QString &argument) override;
    void ForgetCells() override;

    int openCount() const { return int(m_books.size()); }

private:
    struct Book {
        QString path; // absolute
        QDateTime modified;
        qint64 size = -1;
        std::shared_ptr<WorkbookFile> file;
    };

    const Book &active() const;
    void makeActive(std::size_t index);
    void reloadIfChanged(Book &book);

    std::vector<Book> m_books; // the last one is the active workbook
};
