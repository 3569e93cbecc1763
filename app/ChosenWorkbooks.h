#pragma once

#include "workbook/FileWorkbooks.h"
#include "workbook/OfficeWorkbooks.h"

#include <memory>

// The workbook component the window's runs use: the file readers, or LibreOffice Calc when
// the user chose it in the options. The choice is taken at Attach, so a run never mixes them.
// LibreOffice is reached only once chosen, and one Tessily started ends with the window.
class ChosenWorkbooks final : public WorkbookComponent {
public:
    bool useOffice = false;
    bool officeVisible = false; // a LibreOffice started here shows its windows

    void Attach() override;
    void Detach() override { current().Detach(); }
    void Activate(const QString &fileName) override { current().Activate(fileName); }
    void Open(const QString &path) override { current().Open(path); }
    QString ActiveWorkbookName() const override { return current().ActiveWorkbookName(); }
    QString ActiveWorkbookPath() const override { return current().ActiveWorkbookPath(); }
    std::shared_ptr<Worksheet> Sheet(int n) override { return current().Sheet(n); }
    QVariant Run(const QString &macro) override { return current().Run(macro); }
    QVariant Run(const QString &macro, const QString &argument) override
    {
        return current().Run(macro, argument);
    }

private:
    WorkbookComponent &current() const;

    mutable FileWorkbooks m_files;
    std::unique_ptr<OfficeWorkbooks> m_office;
    bool m_attachedToOffice = false;
};
