#include "run/CommandLineDownload.h"

#include "common/RunLog.h"
#include "download/DownloadProject.h"
#include "download/DownloadSession.h"
#include "download/MiddlewareLibrary.h"

#include <QTextStream>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int)
{
    interrupted = true;
}

// Ctrl-C while the download runs closes it; the previous handler comes back afterwards.
class InterruptCloses {
public:
    explicit InterruptCloses(DownloadSession &session)
    {
        interrupted = false;
        m_previous = std::signal(SIGINT, onInterrupt);
        QObject::connect(&m_poll, &QTimer::timeout, &session, [&session] {
            if (interrupted.exchange(false) && session.running())
                session.closeByUser();
        });
        m_poll.start(100);
    }
    ~InterruptCloses() { std::signal(SIGINT, m_previous); }

private:
    QTimer m_poll;
    void (*m_previous)(int) = SIG_DFL;
};

} // namespace

int downloadFromCommandLine(RunLog &log, const QString &IpAddress, const QString &ProjectFolder,
                            QTextStream &out)
{
    MiddlewareLibrary middleware;
    DownloadSession session(middleware);
    const auto print = [&out](const QString &prefix, const QString &text) {
        out << prefix << text << '\n';
        out.flush();
    };
    QObject::connect(
        &session, &DownloadSession::stateMsgChanged, &session,
        [&](const QString &text) { print(QStringLiteral("  download status: "), text); });
    QObject::connect(&session, &DownloadSession::lineAdded, &session,
                     [&](const QString &line) { print(QStringLiteral("  download: "), line); });
    int result = DownloadSession::kNotConnected;
    QObject::connect(&session, &DownloadSession::closed, &session,
                     [&result](int r) { result = r; });
    InterruptCloses interrupt(session);
    DownloadProject(session, log, IpAddress, ProjectFolder);
    return result;
}
