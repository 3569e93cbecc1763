#include "support/RtuSimProcess.h"

#include <QDeadlineTimer>

namespace {

constexpr int kStartMs = 5000;

} // namespace

RtuSimProcess::RtuSimProcess(const QStringList &options)
{
    m_process.start(QStringLiteral(TESSILY_BIN "/orvane-rtu-sim"),
                    QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
    QDeadlineTimer deadline(kStartMs);
    while (!m_process.canReadLine() && !deadline.hasExpired() &&
           m_process.state() != QProcess::NotRunning)
        m_process.waitForReadyRead(int(deadline.remainingTime()));
    if (!m_process.canReadLine()) {
        m_error = QStringLiteral("the simulator did not start: ") + m_process.errorString() +
                  QStringLiteral(" ") + QString::fromLocal8Bit(m_process.readAllStandardError());
        return;
    }
    m_port = m_process.readLine().trimmed().toInt();
}

RtuSimProcess::~RtuSimProcess()
{
    m_process.kill();
    m_process.waitForFinished(kStartMs);
}

QString RtuSimProcess::log()
{
    m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_log;
}
