#pragma once

#include "common/NamedList.h"

#include <QString>
#include <QStringList>

class RunLog;
class TCodeTab;

// Expands every macro call in a code text, in place. A line whose first placeholder names a
// macro (%%Name%% or %%Name(arguments)%%) becomes the comment "// Macro: Name expanded"
// followed by the macro's body, indented like the call, with %%n%% standing for argument n;
// calls inside a body are expanded in turn. A macro that calls itself, directly or through
// others, is left unexpanded at the repeated call with one error line naming it, and so is a
// call nested or growing the text beyond the bounds.
struct MacroBounds {
    int nesting = 64; // calls inside calls; no real template nests this deep
    // A macro that calls another twice, at each of 30 levels, would otherwise fill the memory
    // with a billion lines; four million (some 400 MB) is far beyond any real program.
    qsizetype lines = 4'000'000;
};
void ExpandMacros(QStringList &code, const NamedList<TCodeTab *> &Macros, RunLog &log,
                  MacroBounds bounds = {});

// Replaces the call at `lineIndex` by the expansion comment and inserts the macro's body
// after it (one level: calls inside the body are not expanded here).
void ExpandMacroCall(const QString &name, const QStringList &body, const QStringList &arguments,
                     qsizetype lineIndex, QStringList &code);

// The error lines of a call that is not expanded.
QString macroCallsItself(const QString &name);
QString macroNestedTooDeeply(const QString &name, int levels);
QString macroExpansionTooLong(const QString &name, qsizetype lines);
