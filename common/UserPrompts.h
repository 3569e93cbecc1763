#pragma once

#include <QString>

// Modal message boxes of the core: a dialog in the window, a line on standard error on the
// command line, a recorded text in tests. The core never opens a dialog itself.
struct UserPrompts {
    virtual ~UserPrompts() = default;
    virtual void message(const QString &caption, const QString &text) = 0;
};
