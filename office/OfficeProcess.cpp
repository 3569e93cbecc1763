#include "office/OfficeProcess.h"

#include "common/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <csignal>
#include <sys/types.h>

namespace {

// soffice.bin ends with this code after making a new profile, expecting to be started again.
constexpr int kRestartExitCode = 81;
constexpr int kMaxRestarts = 2;

QString notInstalled(const QString &program)
{
    return QStringLiteral("LibreOffice is not installed (%1 is missing): install the Debian "
                          "package libreoffice-calc-nogui, or libreoffice-calc for the window")
        .arg(program);
}

} // namespace

OfficeProcess::OfficeProcess(const QString &programFolder, const QString &pipeName, bool visible)
    : m_program(QDir(programFolder).filePath(QStringLiteral("soffice.bin")))
{
    if (!QFileInfo(m_program).isExecutable())
        throw Failure(notInstalled(m_program));
    // One profile for Tessily's LibreOffices, reused so later starts are quicker; a second
    // Tessily running at the same time gets a temporary one, since two LibreOffices cannot
    // share a profile.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString shared = QDir(cache).filePath(QStringLiteral("tessily-office-profile"));
    QDir().mkpath(cache);
    m_profileLock = std::make_unique<QLockFile>(shared + QStringLiteral(".lock"));
    m_profileLock->setStaleLockTime(0);
    if (m_profileLock->tryLock(0)) {
        m_profile = shared;
    } else {
        m_profileLock.reset();
        m_spareProfile = std::make_unique<QTemporaryDir>();
        if (!m_spareProfile->isValid())
            throw Failure(QStringLiteral("No temporary folder for a LibreOffice profile: ") +
                          m_spareProfile->errorString());
        m_profile = m_spareProfile->path();
    }
    m_arguments = {QStringLiteral("--invisible"), QStringLiteral("--norestore"),
                   QStringLiteral("--nologo"), QStringLiteral("--nodefault"),
                   QStringLiteral("-env:UserInstallation=") +
                       QUrl::fromLocalFile(m_profile).toString(QUrl::FullyEncoded),
                   QStringLiteral("--accept=pipe,name=") + pipeName + QStringLiteral(";urp;")};
    if (!visible)
        m_arguments.prepend(QStringLiteral("--headless"));
    else
        m_arguments.removeAll(QStringLiteral("--invisible"));
    launch();
}

OfficeProcess::~OfficeProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        waitForEnd(0);
}

void OfficeProcess::launch()
{
    m_process.setProgram(m_program);
    m_process.setArguments(m_arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start();
    if (!m_process.waitForStarted(10000))
        throw Failure(QStringLiteral("LibreOffice did not start: ") + m_process.errorString());
    m_pid = m_process.processId();
}

bool OfficeProcess::runningOrRestarted()
{
    // without an event loop, QProcess learns of the end only when asked to wait
    if (!m_process.waitForFinished(0) && m_process.state() == QProcess::Running)
        return true;
    if (m_process.exitStatus() == QProcess::NormalExit &&
        m_process.exitCode() == kRestartExitCode && m_restarts < kMaxRestarts) {
        ++m_restarts;
        launch();
        return true;
    }
    m_pid = 0;
    return false;
}

void OfficeProcess::kill()
{
    if (const qint64 pid = m_pid.load(); pid > 0)
        ::kill(pid_t(pid), SIGKILL);
}

void OfficeProcess::waitForEnd(int milliseconds)
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    if (milliseconds > 0 && m_process.waitForFinished(milliseconds))
        return;
    kill();
    m_process.waitForFinished(5000);
    m_pid = 0;
}
