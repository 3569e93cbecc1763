#include "office/UnoConnection.h"

#include "common/Failure.h"
#include "office/UnoText.h"

#include <QDir>
#include <QUrl>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <mutex>
#include <rtl/bootstrap.hxx>

using namespace css;

namespace {

// The local UNO runtime, made once: it knows LibreOffice's types, so calls can be sent to
// it. Kept for the program's life: ending it while LibreOffice's libraries unload at exit
// would crash.
uno::Reference<uno::XComponentContext> localContext(const QString &programFolder)
{
    static std::once_flag once;
    static uno::Reference<uno::XComponentContext> *context = nullptr;
    static QString bootError;
    std::call_once(once, [&] {
        const QString folder = QUrl::fromLocalFile(QDir(programFolder).absolutePath()).toString();
        rtl::Bootstrap::set(OUString("URE_MORE_TYPES"),
                            toUno(folder + QStringLiteral("/types/offapi.rdb")));
        try {
            context = new uno::Reference<uno::XComponentContext>(
                cppu::defaultBootstrap_InitialComponentContext(
                    toUno(folder + QStringLiteral("/unorc"))));
        } catch (const cppu::BootstrapException &e) {
            bootError = QStringLiteral("LibreOffice's UNO runtime does not start: ") +
                        fromUno(e.getMessage());
        } catch (const uno::Exception &e) {
            bootError =
                QStringLiteral("LibreOffice's UNO runtime does not start: ") + fromUno(e.Message);
        }
    });
    if (!context)
        throw Failure(bootError);
    return *context;
}

} // namespace

std::unique_ptr<UnoConnection> UnoConnection::tryConnect(const QString &programFolder,
                                                         const QString &pipeName)
{
    const auto local = localContext(programFolder);
    std::unique_ptr<UnoConnection> c(new UnoConnection);
    try {
        c->m_connection = connection::Connector::create(local)->connect(
            toUno(QStringLiteral("pipe,name=") + pipeName));
    } catch (const connection::NoConnectException &) {
        return nullptr;
    }
    try {
        const uno::Reference<bridge::XBridge> bridge =
            bridge::BridgeFactory::create(local)->createBridge(OUString(), OUString("urp"),
                                                               c->m_connection, nullptr);
        c->m_bridge.set(bridge, uno::UNO_QUERY);
        c->m_context.set(bridge->getInstance(OUString("StarOffice.ComponentContext")),
                         uno::UNO_QUERY_THROW);
        c->m_desktop = frame::Desktop::create(c->m_context);
    } catch (const lang::DisposedException &) {
        // a LibreOffice that ends while we connect (it crashed, or was closed) is not there
        return nullptr;
    }
    return c;
}

UnoConnection::~UnoConnection()
{
    m_desktop.clear();
    m_context.clear();
    try {
        if (m_bridge.is())
            m_bridge->dispose();
    } catch (const uno::Exception &) {
        // the other side is gone already
    }
}

void UnoConnection::cut()
{
    try {
        if (m_connection.is())
            m_connection->close();
    } catch (const uno::Exception &) {
    }
}
