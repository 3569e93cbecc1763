#include "common/RunLog.h"

RunLog::RunLog(QObject *parent) : QObject(parent), m_clock([] { return QTime::currentTime(); }) {}

QString RunLog::timeStamp(const QTime &time)
{
    return QString::asprintf("%.2d:%.2d:%.2d.%.3d  ", time.hour(), time.minute(), time.second(),
                             time.msec());
}

void RunLog::LogLine(const QString &text)
{
    m_lines.append(timeStamp(m_clock()) + text);
    emit lineAdded(m_lines.back());
}

void RunLog::LogError(const QString &text)
{
    LogLine(text);
}

void RunLog::clear()
{
    m_lines.clear();
    emit cleared();
}
