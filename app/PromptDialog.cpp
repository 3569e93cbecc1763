#include "app/PromptDialog.h"

#include <QMessageBox>
#include <QThread>

PromptDialog::PromptDialog(QObject *parent) : QObject(parent) {}

void PromptDialog::message(const QString &caption, const QString &text)
{
    if (QThread::currentThread() == thread()) {
        showHere(caption, text);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, caption, text] { showHere(caption, text); }, Qt::BlockingQueuedConnection);
}

void PromptDialog::showHere(const QString &caption, const QString &text)
{
    if (m_show) {
        m_show(caption, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, m_parent);
    box.exec();
}
