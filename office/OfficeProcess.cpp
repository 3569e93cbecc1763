#include "office/OfficeProcess.h"

#include "common/Failure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// soffice.bin ends with this code after making a new profile, expecting to be started again.
constexpr int kRestartExitCode = 81;
constexpr int kMaxRestarts = 2;

pid_t spawnQuietly(const QString &program, const QStringList &arguments)
{
    std::vector<QByteArray> texts{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw Failure(QStringLiteral("LibreOffice did not start: ") +
                      QString::fromLocal8Bit(strerror(error)));
    return pid;
}

// Waits at most `seconds` for `pid` to end; its exit code, or -1 when it was killed or had
// to be.
int exitCodeWithin(pid_t pid, int seconds)
{
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    while (clock.elapsed() < qint64(seconds) * 1000) {
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (ended < 0)
            return -1;
        QThread::msleep(50);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

QString notInstalled(const QString &program)
{
    return QStringLiteral("LibreOffice is not installed (%1 is missing): install the Debian "
                          "package libreoffice-calc-nogui, or libreoffice-calc for the window")
        .arg(program);
}

} // namespace

OfficeProcess::OfficeProcess(const QString &programFolder, const QString &pipeName, bool visible,
                             int profileSeconds)
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
    m_arguments = {QStringLiteral("--invisible"),
                   QStringLiteral("--norestore"),
                   QStringLiteral("--nologo"),
                   QStringLiteral("--nodefault"),
                   QStringLiteral("-env:UserInstallation=") +
                       QUrl::fromLocalFile(m_profile).toString(QUrl::FullyEncoded),
                   QStringLiteral("--accept=pipe,name=") + pipeName + QStringLiteral(";urp;")};
    if (!visible)
        m_arguments.prepend(QStringLiteral("--headless"));
    else
        m_arguments.removeAll(QStringLiteral("--invisible"));
    prepareProfile(profileSeconds);
    launch();
}

// A LibreOffice that makes a new profile ends once it has made it, to be started again; a
// connection made to it in between would be cut under the caller. So a new profile is made
// first by a start that ends after its initialisation, and only then does the LibreOffice
// that accepts connections start.
void OfficeProcess::prepareProfile(int seconds)
{
    if (QFileInfo::exists(QDir(m_profile).filePath(QStringLiteral("user"))))
        return;
    const QStringList arguments{QStringLiteral("--headless"),
                                QStringLiteral("--norestore"),
                                QStringLiteral("--nologo"),
                                QStringLiteral("--nodefault"),
                                QStringLiteral("--terminate_after_init"),
                                QStringLiteral("-env:UserInstallation=") +
                                    QUrl::fromLocalFile(m_profile).toString(QUrl::FullyEncoded)};
    for (int start = 0; start <= kMaxRestarts; ++start) {
        if (exitCodeWithin(spawnQuietly(m_program, arguments), seconds) != kRestartExitCode)
            return;
    }
}

OfficeProcess::~OfficeProcess()
{
    waitForEnd(0);
}

void OfficeProcess::launch()
{
    m_pid = spawnQuietly(m_program, m_arguments);
    m_exitCode = -1;
}

bool OfficeProcess::stillRuns()
{
    const qint64 pid = m_pid.load();
    if (pid <= 0)
        return false;
    int status = 0;
    const pid_t ended = ::waitpid(pid_t(pid), &status, WNOHANG);
    if (ended == 0)
        return true;
    m_exitCode = ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    m_pid = 0;
    return false;
}

bool OfficeProcess::runningOrRestarted()
{
    if (stillRuns())
        return true;
    if (m_exitCode == kRestartExitCode && m_restarts < kMaxRestarts) {
        ++m_restarts;
        launch();
        return true;
    }
    return false;
}

void OfficeProcess::kill()
{
    if (const qint64 pid = m_pid.load(); pid > 0)
        ::kill(pid_t(pid), SIGKILL);
}

void OfficeProcess::waitForEnd(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (stillRuns() && clock.elapsed() < milliseconds)
        QThread::msleep(50);
    if (!stillRuns())
        return;
    kill();
    // SIGKILL cannot be ignored: the process ends at once
    while (stillRuns() && clock.elapsed() < milliseconds + 5000)
        QThread::msleep(10);
}
