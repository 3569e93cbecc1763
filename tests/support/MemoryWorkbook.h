#pragma once

#include "common/Failure.h"
#include "workbook/WorkbookComponent.h"

#include <QHash>
#include <QPair>
#include <map>
#include <memory>
#include <vector>

// A workbook held in memory, for tests of code that reads cells through the workbook
// component: sheets with a name and text cells, and counts of what was asked.
class MemoryWorksheet final : public Worksheet {
public:
    explicit MemoryWorksheet(const QString &name) : m_name(name) {}

    void set(int row, int column, const QString &text) { m_cells[{row, column}] = text; }

    QString Name() const override { return m_name; }
    CellValue Cell(int row, int column) const override
    {
        ++cellReads;
        const auto it = m_cells.find({row, column});
        return it == m_cells.end() ? CellValue{} : CellValue::fromText(it->second);
    }
    CellBlock Range(const QString &, const QString &) const override
    {
        throw Failure(QStringLiteral("Range is not held by the memory worksheet"));
    }

    mutable int cellReads = 0;

private:
    QString m_name;
    std::map<std::pair<int, int>, QString> m_cells;
};

class MemoryWorkbook final : public WorkbookComponent {
public:
    // Adds the next sheet (numbered from 1 in the order added) and returns it.
    MemoryWorksheet &addSheet(const QString &name)
    {
        m_sheets.push_back(std::make_shared<MemoryWorksheet>(name));
        return *m_sheets.back();
    }

    void Attach() override {}
    void Detach() override {}
    void Activate(const QString &) override {}
    void Open(const QString &) override {}
    QString ActiveWorkbookName() const override { return QStringLiteral("memory.xlsx"); }
    QString ActiveWorkbookPath() const override { return QString(); }
    std::shared_ptr<Worksheet> Sheet(int n) override
    {
        ++sheetRequests;
        if (n < 1 || n > int(m_sheets.size()))
            throw Failure(QStringLiteral("memory.xlsx: no sheet %1").arg(n));
        return m_sheets[n - 1];
    }
    QVariant Run(const QString &macro) override { return Run(macro, QString()); }
    QVariant Run(const QString &macro, const QString &) override
    {
        throw Failure(QStringLiteral("memory.xlsx: cannot run macro ") + macro);
    }

    int sheetRequests = 0;

private:
    std::vector<std::shared_ptr<MemoryWorksheet>> m_sheets;
};
