#include "app/DownloadDialog.h"

#include "download/DownloadSession.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QVBoxLayout>

DownloadDialog::DownloadDialog(DownloadSession &session, QWidget *parent)
    : QDialog(parent, Qt::Tool), m_session(session)
{
    setObjectName(QStringLiteral("TDownloadForm"));
    setModal(true);
    resize(377, 251);
    auto *layout = new QVBoxLayout(this);
    m_StateMsg = new QLabel;
    m_StateMsg->setObjectName(QStringLiteral("StateMsg"));
    m_StateMsg->setAlignment(Qt::AlignCenter);
    m_ProgressBar1 = new QProgressBar;
    m_ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_ProgressBar1->setRange(0, 100);
    m_ListBox1 = new QListWidget;
    m_ListBox1->setObjectName(QStringLiteral("ListBox1"));
    layout->addWidget(m_StateMsg);
    layout->addWidget(m_ProgressBar1);
    layout->addWidget(m_ListBox1, 1);

    connect(&session, &DownloadSession::captionChanged, this, &QWidget::setWindowTitle);
    connect(&session, &DownloadSession::stateMsgChanged, m_StateMsg, &QLabel::setText);
    connect(&session, &DownloadSession::progressChanged, m_ProgressBar1, &QProgressBar::setValue);
    connect(&session, &DownloadSession::lineAdded, this, [this](const QString &line) {
        m_ListBox1->addItem(line);
        m_ListBox1->scrollToBottom();
    });
    connect(&session, &DownloadSession::linesCleared, m_ListBox1, &QListWidget::clear);
    connect(&session, &DownloadSession::shown, this, [this] {
        m_ProgressBar1->setValue(m_session.progress());
        m_StateMsg->setText(m_session.StateMsg());
        show();
    });
    connect(&session, &DownloadSession::closed, this, &DownloadDialog::sessionClosed);
}

void DownloadDialog::sessionClosed()
{
    hide();
}

// The close box and Escape: the download ends with result 2.
void DownloadDialog::closeEvent(QCloseEvent *event)
{
    if (m_session.running())
        m_session.closeByUser();
    event->accept();
}

void DownloadDialog::reject()
{
    if (m_session.running())
        m_session.closeByUser();
    hide();
}
