#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <memory>

// A LibreOffice started by Tessily: soffice.bin listening on a pipe of its own, with a user
// profile of its own so it never touches the engineer's settings or documents.
class OfficeProcess {
public:
    // Starts LibreOffice from `programFolder`; throws Failure when it is not installed or
    // does not start.
    // A new profile is made first, within `profileSeconds`.
    OfficeProcess(const QString &programFolder, const QString &pipeName, bool visible,
                  int profileSeconds);
    // Ends the process if it still runs.
    ~OfficeProcess();

    // Whether the process runs; when it ended asking for a restart (its first start with a
    // new profile), it is started again.
    bool runningOrRestarted();
    // Ends the process at once. Safe from any thread.
    void kill();
    // Waits up to `milliseconds` for the process to end by itself, then kills it.
    void waitForEnd(int milliseconds);
    QString profileFolder() const { return m_profile; }

private:
    void prepareProfile(int seconds);
    void launch();
    // Reaps the process if it ended; true while it still runs.
    bool stillRuns();

    QString m_program;
    QStringList m_arguments;
    QString m_profile;
    std::unique_ptr<QLockFile> m_profileLock;
    std::unique_ptr<QTemporaryDir> m_spareProfile; // when the shared profile is in use
    // the process id while it runs; it is started and reaped with plain POSIX calls, so any
    // thread may own the bridge (the window runs generations on a worker thread)
    std::atomic<qint64> m_pid{0};
    int m_exitCode = -1; // when it ended by itself
    int m_restarts = 0;
};
