#pragma once

#include <QDialog>

class DownloadSession;
class QLabel;
class QListWidget;
class QProgressBar;

// The download dialog (TDownloadForm): a tool window over a download session, showing its
// status line, progress and messages. It opens while the session waits for the device and
// closes when the session ends; closing it by its close box ends the download with result 2.
class DownloadDialog final : public QDialog {
    Q_OBJECT
public:
    explicit DownloadDialog(DownloadSession &session, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void sessionClosed();

    DownloadSession &m_session;
    QLabel *m_StateMsg;
    QProgressBar *m_ProgressBar1;
    QListWidget *m_ListBox1;
};
