#include "office/CalcBridge.h"

#include "common/Failure.h"
#include "office/BasicMacros.h"
#include "office/CalcCells.h"
#include "office/UnoText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <unistd.h>

using namespace css;
using namespace std::chrono_literals;

namespace {

QString programFolder()
{
    const QByteArray overridden = qgetenv("TESSILY_OFFICE_PROGRAM");
    return overridden.isEmpty() ? QStringLiteral(TESSILY_OFFICE_PROGRAM)
                                : QString::fromLocal8Bit(overridden);
}

// Tessily's own LibreOffice listens on a pipe named for the process, so two Tessily
// processes never share one they did not start.
QString ownPipeName(const QString &sharedPipe)
{
    return sharedPipe + QStringLiteral("-%1").arg(::getpid());
}

QString localPath(const uno::Reference<frame::XModel> &model)
{
    const QString url = fromUno(model->getURL());
    return url.isEmpty() ? QString() : QFileInfo(QUrl(url).toLocalFile()).absoluteFilePath();
}

bool isSpreadsheet(const uno::Reference<frame::XModel> &model)
{
    return uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY).is();
}

std::vector<uno::Reference<frame::XModel>>
openDocuments(const uno::Reference<frame::XDesktop2> &desktop)
{
    std::vector<uno::Reference<frame::XModel>> models;
    const auto all = desktop->getComponents()->createEnumeration();
    while (all->hasMoreElements()) {
        uno::Reference<frame::XModel> model(all->nextElement(), uno::UNO_QUERY);
        if (model.is() && isSpreadsheet(model))
            models.push_back(model);
    }
    return models;
}

bool showsWindows(const uno::Reference<frame::XDesktop2> &desktop)
{
    const uno::Reference<container::XIndexAccess> frames(desktop->getFrames(),
                                                         uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < frames->getCount(); ++i) {
        const uno::Reference<frame::XFrame> frame(frames->getByIndex(i), uno::UNO_QUERY);
        const uno::Reference<awt::XWindow2> window(
            frame.is() ? frame->getContainerWindow() : nullptr, uno::UNO_QUERY);
        if (window.is() && window->isVisible())
            return true;
    }
    return false;
}

beans::PropertyValue property(const char *name, const uno::Any &value)
{
    beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

} // namespace

template <typename Call>
auto CalcBridge::guarded(const QString &what, std::chrono::milliseconds limit, Call call) const
{
    auto *self = const_cast<CalcBridge *>(this);
    // a connection lost during a run stays lost until the next run attaches: a LibreOffice
    // started in the middle of a run would not hold the run's workbook
    if (!m_connection)
        throw Failure(m_lostReason.isEmpty()
                          ? what + QStringLiteral(": LibreOffice is not connected")
                          : m_lostReason);
    const auto late = [&] {
        self->lose(what + QStringLiteral(": LibreOffice did not answer in time"));
        return Failure(
            what +
            QStringLiteral(": LibreOffice did not answer within %1 s").arg(limit.count() / 1000));
    };
    try {
        ArmedCall armed(m_watchdog, limit);
        auto result = call();
        // an answer that comes after the connection was cut is not taken
        if (m_watchdog.expired())
            throw late();
        return result;
    } catch (const lang::DisposedException &e) {
        const bool timedOut = m_watchdog.expired();
        const bool ours = m_process != nullptr;
        const QString reason =
            timedOut ? QStringLiteral("LibreOffice did not answer within %1 s; ")
                               .arg(limit.count() / 1000) +
                           (ours ? QStringLiteral("Tessily's LibreOffice was ended")
                                 : QStringLiteral("the connection to it was cut"))
                     : QStringLiteral("LibreOffice ended or the connection to it was lost (") +
                           fromUno(e.Message) + u')';
        self->lose(what + QStringLiteral(": ") + reason);
        throw Failure(what + QStringLiteral(": ") + reason);
    } catch (const uno::Exception &e) {
        if (m_watchdog.expired())
            throw late();
        throw Failure(what + QStringLiteral(": ") + fromUno(e.Message));
    }
}

namespace {

class CalcSheet final : public OfficeSheet {
public:
    CalcSheet(const CalcBridge &bridge, std::shared_ptr<QString> alive,
              std::shared_ptr<const int> macroRuns, QString document,
              uno::Reference<sheet::XSpreadsheet> sheet,
              uno::Reference<util::XNumberFormats> formats, std::chrono::milliseconds limit)
        : m_bridge(bridge), m_alive(std::move(alive)), m_macroRuns(std::move(macroRuns)),
          m_document(std::move(document)), m_sheet(std::move(sheet)), m_formats(std::move(formats)),
          m_limit(limit)
    {
    }

    QString name() const override
    {
        checkAlive();
        return m_bridge.guarded(m_document, m_limit, [&] {
            return fromUno(
                uno::Reference<container::XNamed>(m_sheet, uno::UNO_QUERY_THROW)->getName());
        });
    }

    // The signal sheet is asked for in blocks of a few hundred rows: each call fetches a
    // larger block, whose later rows answer the next calls without a round trip. What was
    // fetched is dropped when a macro has run since, as it may have changed the cells.
    std::vector<CellValue> cells(int top, int left, int rows, int columns) const override
    {
        checkAlive();
        if (!covers(top, left, rows, columns)) {
            const int fetched = std::max(rows, std::max(1, kPrefetchCells / columns));
            std::vector<CellValue> cells = m_bridge.guarded(m_document, m_limit, [&] {
                return readCalcCells(m_sheet, m_formats, top, left, fetched, columns);
            });
            m_cache = {top, left, fetched, columns, *m_macroRuns, std::move(cells)};
        }
        std::vector<CellValue> part;
        part.reserve(std::size_t(rows) * std::size_t(columns));
        for (int r = top - m_cache.top; r < top - m_cache.top + rows; ++r)
            for (int c = left - m_cache.left; c < left - m_cache.left + columns; ++c)
                part.push_back(
                    m_cache.cells[std::size_t(r) * std::size_t(m_cache.columns) + std::size_t(c)]);
        return part;
    }

private:
    // 4,096 rows of 64 columns: a few megabytes, whatever the shape of the block asked for
    static constexpr int kPrefetchCells = 4096 * 64;

    struct Fetched {
        int top = 0;
        int left = 0;
        int rows = 0;
        int columns = 0;
        int macroRuns = -1;
        std::vector<CellValue> cells;
    };

    bool covers(int top, int left, int rows, int columns) const
    {
        const Fetched &f = m_cache;
        return f.macroRuns == *m_macroRuns && top >= f.top && left >= f.left &&
               qint64(top) + rows <= qint64(f.top) + f.rows &&
               qint64(left) + columns <= qint64(f.left) + f.columns;
    }

    void checkAlive() const
    {
        if (!m_alive->isEmpty())
            throw Failure(m_document + QStringLiteral(": ") + *m_alive);
    }

    const CalcBridge &m_bridge;
    std::shared_ptr<QString> m_alive;       // why the connection was lost, empty while it holds
    std::shared_ptr<const int> m_macroRuns; // counts the macros run through the bridge
    mutable Fetched m_cache;
    QString m_document;
    uno::Reference<sheet::XSpreadsheet> m_sheet;
    uno::Reference<util::XNumberFormats> m_formats;
    std::chrono::milliseconds m_limit;
};

} // namespace

CalcBridge::CalcBridge(const OfficeBridgeOptions &options)
    : m_options(options), m_programFolder(programFolder()),
      m_sharedPipe(options.pipeName.isEmpty() ? QStringLiteral("tessily-office-%1").arg(::getuid())
                                              : options.pipeName),
      m_watchdog([this] {
          std::lock_guard lock(m_expiryMutex);
          if (m_process)
              m_process->kill();
          // also when the process is gone already: a blocked call returns once it is cut
          if (m_connection)
              m_connection->cut();
      })
{
}

CalcBridge::~CalcBridge()
{
    *m_alive = QStringLiteral("LibreOffice was let go");
    endOwnOffice();
}

std::chrono::milliseconds CalcBridge::callLimit() const
{
    return std::chrono::milliseconds(qint64(m_options.callSeconds) * 1000);
}

void CalcBridge::attach()
{
    if (m_connection)
        return;
    const QString soffice = QDir(m_programFolder).filePath(QStringLiteral("soffice.bin"));
    if (!QFileInfo(soffice).isExecutable())
        throw Failure(QStringLiteral("LibreOffice is not installed (%1 is missing): install the "
                                     "Debian package libreoffice-calc-nogui, or libreoffice-calc "
                                     "for the window")
                          .arg(soffice));
    try {
        auto shared = UnoConnection::tryConnect(m_programFolder, m_sharedPipe);
        if (shared) {
            std::lock_guard lock(m_expiryMutex);
            m_connection = std::move(shared);
            return;
        }
    } catch (const uno::Exception &e) {
        throw Failure(
            QStringLiteral("LibreOffice on the pipe %1 does not answer: ").arg(m_sharedPipe) +
            fromUno(e.Message));
    }
    startOwnOffice();
}

void CalcBridge::startOwnOffice()
{
    m_lostReason.clear();
    const QString pipe = ownPipeName(m_sharedPipe);
    QElapsedTimer clock;
    clock.start();
    auto process = std::make_unique<OfficeProcess>(m_programFolder, pipe, m_options.visible,
                                                   m_options.startSeconds);
    while (clock.elapsed() < qint64(m_options.startSeconds) * 1000) {
        // connecting comes first: a LibreOffice left running on the same profile takes over
        // the request, and the process started here ends at once
        try {
            if (auto c = UnoConnection::tryConnect(m_programFolder, pipe)) {
                std::lock_guard lock(m_expiryMutex);
                m_connection = std::move(c);
                m_process = std::move(process);
                return;
            }
        } catch (const uno::Exception &) {
            // accepting, but not ready yet
        }
        if (!process->runningOrRestarted() && clock.elapsed() > 2000)
            throw Failure(QStringLiteral("LibreOffice ended while starting (profile %1)")
                              .arg(process->profileFolder()));
        QThread::msleep(100);
    }
    process->waitForEnd(0);
    throw Failure(
        QStringLiteral("LibreOffice did not start within %1 s").arg(m_options.startSeconds));
}

void CalcBridge::lose(const QString &reason)
{
    m_lostReason = reason;
    *m_alive = reason;
    m_alive = std::make_shared<QString>();
    m_active.clear();
    m_loaded.clear();
    std::lock_guard lock(m_expiryMutex);
    m_connection.reset();
    if (m_process)
        m_process->waitForEnd(0);
    m_process.reset();
}

void CalcBridge::endOwnOffice()
{
    m_active.clear();
    if (m_process && m_connection) {
        // our own LibreOffice holds only what we loaded: closed unsaved, then ended
        try {
            ArmedCall armed(m_watchdog, 10s);
            for (const auto &model : openDocuments(m_connection->desktop())) {
                if (uno::Reference<util::XModifiable> m{model, uno::UNO_QUERY}; m.is())
                    m->setModified(false);
                if (uno::Reference<util::XCloseable> c{model, uno::UNO_QUERY}; c.is())
                    c->close(true);
            }
            m_connection->desktop()->terminate();
        } catch (const uno::Exception &) {
            // it is ended below either way
        }
    }
    m_loaded.clear();
    {
        std::lock_guard lock(m_expiryMutex);
        m_connection.reset();
    }
    if (m_process)
        m_process->waitForEnd(10000);
    std::lock_guard lock(m_expiryMutex);
    m_process.reset();
}

void CalcBridge::activate(const QString &fileName)
{
    attach();
    m_active = guarded(fileName, callLimit(), [&] {
        for (const auto &model : openDocuments(m_connection->desktop())) {
            const QString path = localPath(model);
            if (!path.isEmpty() &&
                QFileInfo(path).fileName().compare(fileName, Qt::CaseInsensitive) == 0)
                return model;
        }
        throw Failure(QStringLiteral("No open workbook is named ") + fileName);
    });
}

void CalcBridge::open(const QString &path)
{
    attach();
    const QString full = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(full).exists())
        throw Failure(path + QStringLiteral(": file not found"));
    if (!QFileInfo(full).isFile())
        throw Failure(path + QStringLiteral(": not a file"));
    m_active = guarded(path, callLimit(), [&]() -> uno::Reference<frame::XModel> {
        for (const auto &model : openDocuments(m_connection->desktop()))
            if (localPath(model) == full)
                return model;
        // the engineer sees what Tessily opens in a Calc that shows windows; a LibreOffice
        // without them (headless) cannot show a document and would crash trying
        const bool hidden = m_process ? !m_options.visible : !showsWindows(m_connection->desktop());
        const OUString url = toUno(QUrl::fromLocalFile(full).toString(QUrl::FullyEncoded));
        const auto load = [&](bool readOnly) {
            const beans::PropertyValue list[] = {
                property("Hidden", uno::Any(hidden)),
                property("MacroExecutionMode",
                         uno::Any(document::MacroExecMode::ALWAYS_EXECUTE_NO_WARN)),
                property("ReadOnly", uno::Any(readOnly))};
            const uno::Sequence<beans::PropertyValue> properties(list, 3);
            return uno::Reference<frame::XModel>(
                m_connection->desktop()->loadComponentFromURL(url, "_blank", 0, properties),
                uno::UNO_QUERY);
        };
        // a workbook another program holds open (its lock file) is read as Excel does: read-only
        uno::Reference<frame::XModel> model = load(false);
        if (!model.is())
            model = load(true);
        if (!model.is())
            throw Failure(path + QStringLiteral(": LibreOffice cannot open it (damaged, "
                                                "password-protected or not a workbook)"));
        if (!isSpreadsheet(model)) {
            if (uno::Reference<util::XCloseable> c{model, uno::UNO_QUERY}; c.is())
                c->close(true);
            throw Failure(
                path + QStringLiteral(
                           ": not a workbook (LibreOffice opens it as another kind of document)"));
        }
        m_loaded.push_back(model);
        return model;
    });
}

uno::Reference<frame::XModel> CalcBridge::activeDocument() const
{
    if (m_active.is()) {
        try {
            m_active->getURL();
            return m_active;
        } catch (const lang::DisposedException &) {
            // closed by the engineer: the one Calc shows is active now
        }
    }
    uno::Reference<frame::XModel> current(m_connection->desktop()->getCurrentComponent(),
                                          uno::UNO_QUERY);
    if (!current.is() || !isSpreadsheet(current))
        throw Failure(QStringLiteral("No workbook is open"));
    return current;
}

QString CalcBridge::activeName() const
{
    return guarded(QStringLiteral("LibreOffice"), callLimit(), [&] {
        const auto model = activeDocument();
        const QString path = localPath(model);
        if (!path.isEmpty())
            return QFileInfo(path).fileName();
        const uno::Reference<frame::XTitle> title(model, uno::UNO_QUERY);
        return title.is() ? fromUno(title->getTitle()) : QString();
    });
}

QString CalcBridge::activeFolder() const
{
    return guarded(QStringLiteral("LibreOffice"), callLimit(), [&] {
        const QString path = localPath(activeDocument());
        return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    });
}

std::shared_ptr<OfficeSheet> CalcBridge::sheet(int n)
{
    return guarded(
        QStringLiteral("LibreOffice"), callLimit(), [&]() -> std::shared_ptr<OfficeSheet> {
            const auto model = activeDocument();
            const QString path = localPath(model);
            const QString document = path.isEmpty() ? QStringLiteral("The active workbook") : path;
            const uno::Reference<container::XIndexAccess> sheets(
                uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY_THROW)
                    ->getSheets(),
                uno::UNO_QUERY_THROW);
            if (n < 1 || n > sheets->getCount())
                throw Failure(document + QStringLiteral(": there is no sheet %1").arg(n));
            uno::Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(n - 1),
                                                      uno::UNO_QUERY_THROW);
            const auto formats =
                uno::Reference<util::XNumberFormatsSupplier>(model, uno::UNO_QUERY_THROW)
                    ->getNumberFormats();
            return std::make_shared<CalcSheet>(*this, m_alive, m_macroRuns, document, sheet,
                                               formats, callLimit());
        });
}

QVariant CalcBridge::run(const QString &macro, const std::optional<QString> &argument)
{
    ++*m_macroRuns;
    return guarded(QStringLiteral("The macro ") + macro, callLimit(),
                   [&] { return runDocumentMacro(activeDocument(), macro, argument); });
}

extern "C" Q_DECL_EXPORT OfficeBridge *tessilyCreateOfficeBridge(const OfficeBridgeOptions *options,
                                                                 QString *error)
{
    try {
        return new CalcBridge(options ? *options : OfficeBridgeOptions{});
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
        return nullptr;
    }
}
