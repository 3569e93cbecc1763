#pragma once

#include <QString>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

// One UNO connection to a LibreOffice listening on a named pipe.
class UnoConnection {
public:
    // Connects; returns null when nobody listens on the pipe, or the LibreOffice there ends
    // while we connect. Throws css::uno::Exception when the other side answers wrongly.
    static std::unique_ptr<UnoConnection> tryConnect(const QString &programFolder,
                                                     const QString &pipeName);
    ~UnoConnection();

    css::uno::Reference<css::uno::XComponentContext> context() const { return m_context; }
    css::uno::Reference<css::frame::XDesktop2> desktop() const { return m_desktop; }
    // Cuts the connection; calls waiting for an answer then fail. Safe from any thread.
    void cut();

private:
    UnoConnection() = default;

    css::uno::Reference<css::connection::XConnection> m_connection;
    css::uno::Reference<css::lang::XComponent> m_bridge;
    css::uno::Reference<css::uno::XComponentContext> m_context;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
};
