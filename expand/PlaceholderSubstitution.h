#pragma once

#include "template/TCodeTab.h"
#include "template/TemplateModel.h"

#include <QString>
#include <QStringList>

class RunLog;
class TInsertUserVar;

// Replaces placeholders in the texts the template contributes: user inputs (read through
// the run's TInsertUserVar, optionally passed through an inline function) and, while a
// signal line is expanded, signal variables. The replaced text is the placeholder exactly as
// written; names are looked up in any case.
class PlaceholderSubstitution {
public:
    PlaceholderSubstitution(TInsertUserVar &InsertUserVar, RunLog &log);

    // Replaces every known user-input placeholder of `text`. Row -1 reads each input's own
    // row; a row from 0 is the signal line being expanded. An unknown name stays as written;
    // a `%%` without closing partner logs two error lines and ends the scan. A default that
    // holds `%%` is scanned again from the start; a chain of defaults that never ends is cut
    // with one error line naming the placeholder.
    void ReplaceUserVariables(int row, QString &text, UserInputList &list);

    // With a line list: each line loses one trailing line feed and is substituted in place.
    // Without: the substituted `text` is returned. Anything thrown (an entry without record
    // whose parts are no numbers) is logged as "UserVariables error in XML"; the lines after
    // the failing one keep their text.
    QString ReplaceUserVariablesInLines(int row, const QString &text, QStringList *lines,
                                        UserInputList &list);

    // Expands one block of template text for one signal line: each non-empty source line
    // (one trailing line feed removed) gets the signal types' user inputs, then the signal
    // variables (cells of `InputLine`, "##Error" for an index outside it), and is appended to
    // `dest`.
    void ExpandTemplateLines(int row, const QStringList &InputLine, const QStringList &source,
                             QStringList &dest, UserInputList &SignUserVar,
                             const SignalVariableList &SignVariables);

private:
    void replaceSignalVariables(QString &line, const QStringList &InputLine,
                                const SignalVariableList &SignVariables) const;

    TInsertUserVar &m_insertUserVar;
    RunLog &m_log;
};
