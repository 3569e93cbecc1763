#pragma once

#include "office/CallWatchdog.h"
#include "office/OfficeProcess.h"
#include "office/UnoConnection.h"
#include "workbook/OfficeBridge.h"

#include <com/sun/star/frame/XModel.hpp>
#include <functional>
#include <mutex>

// The bridge to LibreOffice Calc over UNO: the engineer's Calc on Tessily's pipe, else one
// started here. Every call is bounded by the watchdog; UNO errors become Failures naming the
// document and the problem.
class CalcBridge final : public OfficeBridge {
public:
    explicit CalcBridge(const OfficeBridgeOptions &options);
    ~CalcBridge() override;

    void attach() override;
    void activate(const QString &fileName) override;
    void open(const QString &path) override;
    QString activeName() const override;
    QString activeFolder() const override;
    std::shared_ptr<OfficeSheet> sheet(int n) override;
    QVariant run(const QString &macro, const std::optional<QString> &argument) override;

    // Runs `call` under the watchdog and turns UNO exceptions into Failures that begin with
    // `what`. A connection lost on the way is dropped, so the next attach() starts afresh.
    template <typename Call>
    auto guarded(const QString &what, std::chrono::milliseconds limit, Call call) const;

private:
    void startOwnOffice();
    void endOwnOffice();
    void lose(const QString &reason);
    css::uno::Reference<css::frame::XModel> activeDocument() const;
    std::chrono::milliseconds callLimit() const;

    OfficeBridgeOptions m_options;
    QString m_programFolder;
    QString m_sharedPipe;
    std::unique_ptr<OfficeProcess> m_process; // null when the engineer's LibreOffice is used
    std::unique_ptr<UnoConnection> m_connection;
    css::uno::Reference<css::frame::XModel> m_active;
    std::vector<css::uno::Reference<css::frame::XModel>> m_loaded; // loaded into our own
    // Shared with the sheets: why the connection was lost, empty while it holds.
    std::shared_ptr<QString> m_alive = std::make_shared<QString>();
    std::shared_ptr<int> m_macroRuns = std::make_shared<int>(0); // sheets drop what they fetched
    QString m_lostReason;     // of the connection lost last, until the next one is made
    std::mutex m_expiryMutex; // the watchdog's action against dropping the connection
    mutable CallWatchdog m_watchdog;
};
