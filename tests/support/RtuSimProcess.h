#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The device simulator running for one test: started on a free loopback port, ended when the
// object goes. port() is 0 when it did not start; error() then says why.
class RtuSimProcess {
public:
    explicit RtuSimProcess(const QStringList &options = {});
    ~RtuSimProcess();
    RtuSimProcess(const RtuSimProcess &) = delete;
    RtuSimProcess &operator=(const RtuSimProcess &) = delete;

    int port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    QString error() const { return m_error; }
    bool running() const { return m_process.state() == QProcess::Running; }
    // What the simulator reported on standard error so far.
    QString log();

private:
    QProcess m_process;
    int m_port = 0;
    QString m_error;
    QString m_log;
};
