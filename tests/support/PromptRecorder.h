#pragma once

#include "app/UserPrompts.h"

#include <QStringList>

// Keeps each message box as "caption: text".
struct PromptRecorder final : UserPrompts {
    QStringList shown;
    void message(const QString &caption, const QString &text) override
    {
        shown << caption + QStringLiteral(": ") + text;
    }
};
