#include "expand/PlaceholderSubstitution.h"

#include "common/CommaText.h"
#include "common/PlaceholderScan.h"
#include "common/RunLog.h"
#include "expand/TInlineFunction.h"
#include "template/TInsertUserVar.h"
#include "template/TextLines.h"

#include <exception>

namespace {

constexpr QStringView kMarker = u"%%";

// A default that holds its own placeholder, directly or through other defaults, would make
// the scan start over for ever, and a value holding its own placeholder twice would double
// the text on every pass. Real chains of defaults are a few links long and values are short,
// so these bounds stop only such loops.
constexpr int kMaxRestartsPerText = 100;
constexpr qsizetype kMaxGrowthFactor = 16;
constexpr qsizetype kMaxGrowthSlack = 64 * 1024;

QString endlessExpansion(const QString &name, const QString &text)
{
    return QStringLiteral("Placeholder %%%1%% expands without end, substitution stopped in: %2")
        .arg(name, text);
}

} // namespace

PlaceholderSubstitution::PlaceholderSubstitution(TInsertUserVar &InsertUserVar, RunLog &log)
    : m_insertUserVar(InsertUserVar), m_log(log)
{
}

void PlaceholderSubstitution::ReplaceUserVariables(int row, QString &text, UserInputList &list)
{
    const qsizetype maxLength = text.size() * kMaxGrowthFactor + kMaxGrowthSlack;
    int restarts = 0;
    qsizetype position = 0;
    // Each pass either moves the position behind an inserted value or a skipped
    // placeholder, shortens the text (an empty value), or restarts; restarts and growth are
    // bounded, so the loop ends.
    for (;;) {
        const qsizetype open = text.indexOf(kMarker, position);
        if (open < 0)
            return;
        const qsizetype close = text.indexOf(kMarker, open + 2);
        if (close < 0) {
            m_log.LogError(QStringLiteral("'%%' Error in XML source"));
            m_log.LogError(QStringLiteral("CodeLine:") + text);
            return;
        }
        // Most placeholders of a code line are no user input: they are looked up through a
        // QString over the text's own characters, and copied only when found.
        const QString inner = QString::fromRawData(text.constData() + open + 2, close - open - 2);
        QString name;
        QString lookup;
        std::unique_ptr<TInlineFunction> function;
        if (inner.startsWith(u'#')) {
            name = QString(inner.constData(), inner.size());
            lookup = name;
            function = ParseInlineFunction(name, lookup);
        }
        const qsizetype index = list.indexOf(function ? lookup : inner);
        if (index < 0) {
            position = close + 2;
            continue;
        }
        if (!function)
            name = QString(inner.constData(), inner.size());
        UserInputEntry &entry = list.valueAt(index);
        // The parts of the entry are only read for an entry without record.
        if (!entry.record)
            m_insertUserVar.VarLine = splitAtCommas(entry.value);
        UserInputValue read =
            m_insertUserVar.ReadUserInputValue(row, m_insertUserVar.VarLine, entry.record.get());
        if (function) {
            read.value = function->Execute(read.value);
            name = function->OrgVarName();
        }
        text.replace(placeholderText(name), read.value);

        if (!read.restart) {
            position = open + read.value.size();
        } else {
            position = 0;
            ++restarts;
        }
        if (restarts > kMaxRestartsPerText || text.size() > maxLength) {
            m_log.LogError(endlessExpansion(name, text.left(200)));
            return;
        }
    }
}

QString PlaceholderSubstitution::ReplaceUserVariablesInLines(int row, const QString &text,
                                                             QStringList *lines,
                                                             UserInputList &list)
{
    QString result = text;
    try {
        if (lines) {
            for (QString &line : *lines) {
                QString substituted = StripTrailingLineFeed(line);
                ReplaceUserVariables(row, substituted, list);
                line = std::move(substituted);
            }
        } else {
            ReplaceUserVariables(row, result, list);
        }
    } catch (const std::exception &) {
        m_log.LogLine(QStringLiteral("UserVariables error in XML"));
    }
    return result;
}

void PlaceholderSubstitution::ExpandTemplateLines(int row, const QStringList &InputLine,
                                                  const QStringList &source, QStringList &dest,
                                                  UserInputList &SignUserVar,
                                                  const SignalVariableList &SignVariables)
{
    for (const QString &sourceLine : source) {
        const QString stripped = StripTrailingLineFeed(sourceLine);
        if (stripped.isEmpty())
            continue;
        QString line = ReplaceUserVariablesInLines(row, stripped, nullptr, SignUserVar);
        replaceSignalVariables(line, InputLine, SignVariables);
        // Substitution grows a line with room to spare; the line is kept for the whole run,
        // and giving the room back shrinks its block in place.
        line.squeeze();
        dest.append(std::move(line));
    }
}

void PlaceholderSubstitution::replaceSignalVariables(QString &line, const QStringList &InputLine,
                                                     const SignalVariableList &SignVariables) const
{
    qsizetype position = 0;
    // Every pass moves the position behind a placeholder or an inserted cell, so the scan
    // ends at the end of the line.
    for (;;) {
        const qsizetype open = line.indexOf(kMarker, position);
        if (open < 0)
            return;
        const qsizetype close = line.indexOf(kMarker, open + 2);
        if (close < 0)
            return;
        const qsizetype length = close + 2 - open;
        const QStringView inner = QStringView(line).mid(open + 2, close - open - 2);
        // A placeholder with an argument part, N(...), is no signal variable, even when its
        // name before '(' is one: replacing an occurrence elsewhere in the line could step
        // back over text already expanded.
        const qsizetype paren = inner.indexOf(u'(');
        const bool withArgument = paren >= 0 && inner.indexOf(u')', paren + 1) >= 0;
        if ((withArgument ? inner.left(paren) : inner).isEmpty())
            return; // a placeholder without a name ends the scan
        if (withArgument) {
            position = open + length;
            continue;
        }
        // Looked up through a QString over the line's own characters: no copy per placeholder.
        const qsizetype index =
            SignVariables.indexOf(QString::fromRawData(inner.data(), inner.size()));
        if (index < 0) {
            position = open + length;
            continue;
        }
        const int cell = SignVariables.valueAt(index);
        const QString value =
            cell >= 0 && cell < InputLine.size() ? InputLine[cell] : QStringLiteral("##Error");
        line.replace(open, length, value);
        position = open + value.size();
    }
}
