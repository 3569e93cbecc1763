#include "download/DownloadSession.h"

#include <QEventLoop>
#include <QScopeGuard>

#include <array>
#include <cstring>

namespace {

constexpr int kTickMs = 500;
const QString kDriver = QStringLiteral("K5NET5.DLL");
const QString kStatusName = QStringLiteral("<AppStatus>");
// The application statuses the sequence waits for.
constexpr quint32 kStatusRunning = 15;
constexpr quint32 kStatusStopped = 16;
constexpr quint32 kStatusNoApplication = 19;

QString requestingText(TCommandState state)
{
    static const std::array<QString, 4> kTexts = {
        QString(),
        QStringLiteral("Requesting Stop"),
        QStringLiteral("Requesting Download"),
        QStringLiteral("Requesting Start"),
    };
    return kTexts[std::size_t(state)];
}

// The status line for an application state event; empty for values that change nothing.
QString applicationStateText(unsigned value)
{
    struct Text {
        unsigned value;
        const char *text;
    };
    static constexpr Text kTexts[] = {
        {5, "Orvane:Started"},
        {6, "Orvane:Stop request received"},
        {8, "Orvane:Start request received"},
        {9, "Orvane:Stopped"},
    };
    for (const Text &t : kTexts) {
        if (t.value == value)
            return QString::fromLatin1(t.text);
    }
    return QString();
}

} // namespace

DownloadSession::DownloadSession(Middleware &middleware, QObject *parent)
    : QObject(parent), m_middleware(middleware)
{
    Timer1.setInterval(kTickMs);
    connect(&Timer1, &QTimer::timeout, this, &DownloadSession::Timer1Timer);
}

DownloadSession::~DownloadSession() = default;

int DownloadSession::DownloadCode(const QString &IpAddress, const QString &AProjectName)
{
    if (m_loop)
        return kNotConnected; // one download at a time
    m_result = kNotConnected;
    ++m_download;
    m_lines.clear();
    emit linesCleared();
    m_caption = QStringLiteral("Downloading to ") + IpAddress;
    emit captionChanged(m_caption);
    ProjectName = AProjectName;
    if (!ProjectName.endsWith(QLatin1Char('/')) && !ProjectName.endsWith(QLatin1Char('\\')))
        ProjectName += QLatin1Char('/');

    const K5mwEventSink sink{this, &DownloadSession::receiveEvent};
    CommClient = m_middleware.Connect(&sink, kEventMessage, 0, 0, m_caption);
    if (CommClient == 0) {
        AddLine(QStringLiteral("Can not connect to K5MW library"));
        return kNotConnected;
    }
    AddLine(QStringLiteral("Downloading to IP : ") + IpAddress);
    CommProject = m_middleware.OpenProject(CommClient, ProjectName, kDriver, IpAddress, 1, 0);
    if (CommProject == 0) {
        AddLine(QStringLiteral("Can not connect to T5 runtime or project"));
        m_middleware.Disconnect(CommClient);
        CommClient = 0;
        return kNotConnected;
    }
    // The project and the client are closed however the wait ends.
    const auto release = qScopeGuard([this] {
        m_loop = nullptr;
        Timer1.stop();
        m_middleware.CloseProject(CommClient, CommProject);
        m_middleware.Disconnect(CommClient);
        CommProject = 0;
        CommClient = 0;
        ++m_download;
    });

    CommandState = TCommandState::csNone;
    m_progress = 0;
    emit progressChanged(m_progress);
    TimerCmd = TTimerCommand::tcStop;
    Timer1.start();
    QEventLoop loop;
    m_loop = &loop;
    emit shown();
    loop.exec();
    m_loop = nullptr;
    Timer1.stop();
    emit closed(m_result);
    return m_result;
}

void DownloadSession::closeByUser()
{
    closeWith(kClosedByUser);
}

void DownloadSession::closeWith(int result)
{
    if (!m_loop)
        return;
    m_result = result;
    m_loop->quit();
}

void DownloadSession::Timer1Timer()
{
    char buffer[K5MW_VALUE_BUFFER] = {};
    const qint32 read =
        m_middleware.GetBinValue(CommClient, CommProject, kStatusName, 0, buffer, nullptr, nullptr);
    if (read != 0) {
        AddLine(QString::asprintf("K5MW_GetBinValue returned %d", int(read)));
    } else {
        // A failed read leaves no status to act on; only a status the device gave moves on.
        const auto *bytes = reinterpret_cast<const unsigned char *>(buffer);
        const quint32 status =
            bytes[0] | quint32(bytes[1]) << 8 | quint32(bytes[2]) << 16 | quint32(bytes[3]) << 24;
        if (CommandState == TCommandState::csStop &&
            (status == kStatusStopped || status == kStatusNoApplication))
            TimerCmd = TTimerCommand::tcDownload;
        if (CommandState == TCommandState::csStart && status == kStatusRunning)
            TimerCmd = TTimerCommand::tcClose;
    }

    switch (TimerCmd) {
    case TTimerCommand::tcNone:
        break;
    case TTimerCommand::tcStop:
        execute(QStringLiteral("AppStop"), TCommandState::csStop,
                QStringLiteral("Not able to stop application, errorcode %1"));
        break;
    case TTimerCommand::tcDownload:
        execute(QStringLiteral("LoadCode:") + ProjectName + QStringLiteral("APPLI.XTI"),
                TCommandState::csDownload,
                QStringLiteral("Not able to download application, errorcode %1"));
        break;
    case TTimerCommand::tcStart:
        execute(QStringLiteral("AppStart"), TCommandState::csStart,
                QStringLiteral("Not able to start application, errorcode %1"));
        break;
    case TTimerCommand::tcClose:
        TimerCmd = TTimerCommand::tcNone;
        closeWith(kDownloaded);
        break;
    }
}

void DownloadSession::execute(const QString &command, TCommandState accepted,
                              const QString &refusal)
{
    const qint32 result = m_middleware.Execute(CommClient, CommProject, command);
    if (result != 0) {
        AddLine(refusal.arg(result)); // the command stays and is tried again next tick
        return;
    }
    SetCommandState(accepted);
    TimerCmd = TTimerCommand::tcNone;
}

void DownloadSession::receiveEvent(void *context, unsigned kind, unsigned value)
{
    auto *self = static_cast<DownloadSession *>(context);
    const int download = self->m_download.load();
    QMetaObject::invokeMethod(
        self,
        [self, download, kind, value] {
            if (self->m_loop && download == self->m_download.load())
                self->CommServerEvent(kind, value);
        },
        Qt::QueuedConnection);
}

void DownloadSession::CommServerEvent(unsigned kind, unsigned value)
{
    const int signedValue = int(value);
    switch (kind) {
    case 2:
        AddLine(QString::asprintf("Comm Status : (2),%d", signedValue));
        break;
    case 4:
        m_progress = signedValue;
        emit progressChanged(m_progress);
        break;
    case 8:
        AddLine(QString::asprintf("Event Connectin Status : (8),%d", signedValue));
        break;
    case 11:
        if (const QString text = applicationStateText(value); !text.isEmpty())
            setStateMsg(text);
        break;
    case 12:
        setStateMsg(QStringLiteral("Orvane:Application received"));
        TimerCmd = TTimerCommand::tcStart;
        break;
    default:
        AddLine(QString::asprintf("CommServerEvent (W,L): %d,%d", int(kind), signedValue));
        break;
    }
}

void DownloadSession::SetCommandState(TCommandState state)
{
    CommandState = state;
    setStateMsg(requestingText(state));
    AddLine(m_stateMsg);
}

void DownloadSession::AddLine(const QString &text)
{
    m_lines.append(text);
    emit lineAdded(text);
}

void DownloadSession::setStateMsg(const QString &text)
{
    m_stateMsg = text;
    emit stateMsgChanged(text);
}
