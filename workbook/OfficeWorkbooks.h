#pragma once

#include "workbook/OfficeBridge.h"
#include "workbook/WorkbookComponent.h"

#include <memory>

class QLibrary;

// The workbook component backed by LibreOffice Calc: what Calc shows (formulas computed,
// unsaved edits included), and the workbook's macros. The bridge module is loaded at the
// first call, so the program runs without LibreOffice until the bridge is asked for.
// Detach keeps LibreOffice; destroying the component ends a LibreOffice it started.
class OfficeWorkbooks final : public WorkbookComponent {
public:
    explicit OfficeWorkbooks(OfficeBridgeOptions options = defaultOptions());
    static OfficeBridgeOptions defaultOptions();
    ~OfficeWorkbooks() override;

    void Attach() override;
    void Detach() override;
    void Activate(const QString &fileName) override;
    void Open(const QString &path) override;
    QString ActiveWorkbookName() const override;
    QString ActiveWorkbookPath() const override;
    std::shared_ptr<Worksheet> Sheet(int n) override;
    QVariant Run(const QString &macro) override;
    QVariant Run(const QString &macro, const QString &argument) override;

private:
    OfficeBridge &bridge() const;

    OfficeBridgeOptions m_options;
    mutable std::unique_ptr<OfficeBridge> m_bridge;
};

// The pipe on which the engineer's Calc listens for Tessily: one per user, or the one named
// by the environment variable TESSILY_OFFICE_PIPE.
QString officePipeName();

// Starts a visible LibreOffice Calc, with the engineer's own profile, listening on that pipe;
// a Calc already running takes the request. Throws Failure when LibreOffice is missing.
void startVisibleOffice();

// Makes a bridge from the module tessily_office; throws Failure naming what to install when
// the module or LibreOffice is missing.
std::unique_ptr<OfficeBridge> loadOfficeBridge(const OfficeBridgeOptions &options);
