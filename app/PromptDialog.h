#pragma once

#include "common/UserPrompts.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

// The window's message boxes. A message from another thread (the Generate command's worker)
// is shown by the thread this object lives in, and the caller waits until the box is closed,
// as it would for a modal box of its own.
class PromptDialog final : public QObject, public UserPrompts {
    Q_OBJECT
public:
    using Show = std::function<void(const QString &caption, const QString &text)>;

    explicit PromptDialog(QObject *parent = nullptr);

    void message(const QString &caption, const QString &text) override;

    // The window the boxes belong to.
    void setParentWidget(QWidget *widget) { m_parent = widget; }
    // Replaces the message box (tests record the texts instead).
    void setShow(Show show) { m_show = std::move(show); }

private:
    void showHere(const QString &caption, const QString &text);

    QPointer<QWidget> m_parent;
    Show m_show;
};
