#pragma once

#include "common/Failure.h"
#include "workbook/CellAddress.h"
#include "workbook/WorkbookComponent.h"

#include <QHash>
#include <QMap>
#include <functional>
#include <memory>
#include <vector>

// An in-memory spreadsheet for tests: sheets of cells set by the test, macros answered by
// test-given functions, and a record of the calls the generator made.
class FakeWorksheet final : public Worksheet {
public:
    explicit FakeWorksheet(QString name) : m_name(std::move(name)) {}

    void set(int row, int column, CellValue value) { m_cells[{row, column}] = std::move(value); }
    void set(int row, int column, const QString &text) { set(row, column, CellValue::fromText(text)); }
    int rangeCalls() const { return m_rangeCalls; }
    mutable int cellReads = 0;

    QString Name() const override { return m_name; }
    CellValue Cell(int row, int column) const override
    {
        ++cellReads;
        return m_cells.value({row, column});
    }
    CellBlock Range(const QString &first, const QString &last) const override
    {
        ++m_rangeCalls;
        const auto a = parseA1(first);
        const auto b = parseA1(last);
        if (!a || !b)
            throw Failure(QStringLiteral("bad range ") + first + u':' + last);
        CellBlock block(b->row - a->row + 1, b->column - a->column + 1);
        for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
            const auto [r, c] = it.key();
            if (r >= a->row && r <= b->row && c >= a->column && c <= b->column)
                block.at(r - a->row + 1, c - a->column + 1) = it.value();
        }
        return block;
    }

private:
    QString m_name;
    QMap<std::pair<int, int>, CellValue> m_cells;
    mutable int m_rangeCalls = 0;
};

class FakeWorkbooks final : public WorkbookComponent {
public:
    using Macro = std::function<QVariant(const QString &argument)>;

    // A workbook "open" in the fake application; the last added is active.
    struct Book {
        QString folder;
        QString name;
        std::vector<std::shared_ptr<Worksheet>> sheets; // null entries are chart sheets
        QHash<QString, Macro> macros;
    };

    Book &addBook(const QString &folder, const QString &name)
    {
        m_books.push_back(std::make_unique<Book>(Book{folder, name, {}, {}}));
        return *m_books.back();
    }
    static std::shared_ptr<FakeWorksheet> addSheet(Book &book, const QString &name)
    {
        auto sheet = std::make_shared<FakeWorksheet>(name);
        book.sheets.push_back(sheet);
        return sheet;
    }

    // The next sheet of a single active workbook "memory.xlsx", made on first use; for tests
    // that only read cells.
    FakeWorksheet &addSheet(const QString &name)
    {
        if (!m_active)
            activate(addBook(QString(), QStringLiteral("memory.xlsx")));
        Book &book = *m_books.back();
        return *addSheet(book, name);
    }

    QStringList calls; // "Run OnWorkbookInitiate", "Open /x/y.xlsx", ...
    int sheetRequests = 0;

    void Attach() override { calls << QStringLiteral("Attach"); }
    void Detach() override { calls << QStringLiteral("Detach"); }
    void Activate(const QString &fileName) override
    {
        calls << QStringLiteral("Activate ") + fileName;
        for (auto it = m_books.rbegin(); it != m_books.rend(); ++it) {
            if ((*it)->name.compare(fileName, Qt::CaseInsensitive) == 0) {
                m_active = it->get();
                return;
            }
        }
        throw Failure(QStringLiteral("No open workbook is named ") + fileName);
    }
    void Open(const QString &path) override
    {
        calls << QStringLiteral("Open ") + path;
        for (auto &book : m_books) {
            if (book->folder + u'/' + book->name == path) {
                m_active = book.get();
                return;
            }
        }
        throw Failure(path + QStringLiteral(": file not found"));
    }
    QString ActiveWorkbookName() const override { return active().name; }
    QString ActiveWorkbookPath() const override { return active().folder; }
    std::shared_ptr<Worksheet> Sheet(int n) override
    {
        ++sheetRequests;
        const Book &book = active();
        if (n < 1 || n > int(book.sheets.size()) || !book.sheets[n - 1])
            throw Failure(QStringLiteral("no worksheet %1").arg(n));
        return book.sheets[n - 1];
    }
    QVariant Run(const QString &macro) override { return run(macro, QString(), false); }
    QVariant Run(const QString &macro, const QString &argument) override
    {
        return run(macro, argument, true);
    }

    void activate(const Book &book) { m_active = &book; }

private:
    const Book &active() const
    {
        if (!m_active)
            throw Failure(QStringLiteral("No workbook is open"));
        return *m_active;
    }
    QVariant run(const QString &macro, const QString &argument, bool withArgument)
    {
        calls << QStringLiteral("Run ") + macro + (withArgument ? u'(' + argument + u')' : QString());
        const Book &book = active();
        const auto it = book.macros.constFind(macro);
        if (it == book.macros.cend())
            throw Failure(QStringLiteral("No macro ") + macro);
        return (*it)(argument);
    }

    std::vector<std::unique_ptr<Book>> m_books;
    const Book *m_active = nullptr;
};
