#pragma once

#include <QObject>
#include <QStringList>
#include <QTime>
#include <functional>

// The run log: the system's only progress and error report. Each line is the local time of
// day, "hh:mm:ss.zzz", two blanks and the text, never changed once added. Observers (the
// window's log view, the command line's standard output, tests) see each line as it is
// written through lineAdded.
class RunLog : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QTime()>;

    explicit RunLog(QObject *parent = nullptr);

    void LogLine(const QString &text);
    // An error line looks like any other line; the caller decides whether the run ends.
    void LogError(const QString &text);

    void clear();
    const QStringList &lines() const { return m_lines; }

    // Tests fix the time of day; the program uses the wall clock.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    static QString timeStamp(const QTime &time);

signals:
    void lineAdded(const QString &line);
    void cleared();

private:
    QStringList m_lines;
    Clock m_clock;
};
