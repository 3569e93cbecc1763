#pragma once

#include "download/Middleware.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <cstdint>

class QEventLoop;

enum class TCommandState : std::uint8_t { csNone, csStop, csDownload, csStart };
enum class TTimerCommand : std::uint8_t { tcNone, tcStop, tcDownload, tcStart, tcClose };

// One download to a device: stop the application, load the new one, start it, wait until it
// runs. A 500 ms timer steps through the commands while the middleware's events, which come
// on the middleware's own thread, are handed to this object's thread. The download dialog is
// a view of this object (status line, progress, message list); the command line runs it
// without a window.
class DownloadSession : public QObject {
    Q_OBJECT
public:
    // The modal results of DownloadCode.
    static constexpr int kDownloaded = 1;
    static constexpr int kClosedByUser = 2;
    static constexpr int kNotConnected = 3;
    // The message number the middleware is given for its events.
    static constexpr quint32 kEventMessage = 1124;

    explicit DownloadSession(Middleware &middleware, QObject *parent = nullptr);
    ~DownloadSession() override;

    // Runs the download and returns its result: 1 when the device reported the new application
    // running, 2 when the user closed, 3 when the middleware or the project could not be
    // opened. Blocks in an event loop of its own, as a modal dialog does.
    int DownloadCode(const QString &IpAddress, const QString &AProjectName);
    // The user closing the dialog: the running download ends with result 2.
    void closeByUser();

    // One step of the command sequence; the timer calls it every 500 ms.
    void Timer1Timer();
    // A middleware event, on this object's thread.
    void CommServerEvent(unsigned kind, unsigned value);
    void SetCommandState(TCommandState state);
    void AddLine(const QString &text);

    const QString &caption() const { return m_caption; }
    const QString &StateMsg() const { return m_stateMsg; }
    int progress() const { return m_progress; }
    const QStringList &lines() const { return m_lines; }
    bool running() const { return m_loop != nullptr; }

    QString ProjectName; // the project folder, ending with a separator
    quint32 CommClient = 0;
    quint32 CommProject = 0;
    TCommandState CommandState = TCommandState::csNone;
    TTimerCommand TimerCmd = TTimerCommand::tcNone;
    QTimer Timer1;

signals:
    // The dialog shows itself when the download starts waiting and hides when it ends.
    void shown();
    void closed(int result);
    void captionChanged(const QString &caption);
    void stateMsgChanged(const QString &text);
    void progressChanged(int value);
    void lineAdded(const QString &line);
    void linesCleared();

private:
    static void receiveEvent(void *context, unsigned kind, unsigned value);
    void setStateMsg(const QString &text);
    void closeWith(int result);
    void execute(const QString &command, TCommandState accepted, const QString &refusal);

    Middleware &m_middleware;
    QString m_caption;
    QString m_stateMsg;
    int m_progress = 0;
    QStringList m_lines;
    QEventLoop *m_loop = nullptr; // while the download waits
    int m_result = kNotConnected;
    // Events are taken only while a download waits; one of an earlier download that is still
    // queued is dropped: each carries the number of the download it belongs to.
    std::atomic<int> m_download{0};
};
