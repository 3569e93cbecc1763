#pragma once

#include "common/UserPrompts.h"

#include <QStringList>

// Message boxes a test can look at: each shown text, in order.
struct RecordingPrompts final : UserPrompts {
    void message(const QString &, const QString &text) override { texts.append(text); }
    QStringList texts;
};
