#include "template/MacroExpansion.h"

#include "common/CommaText.h"
#include "common/LenientInt.h"
#include "common/PlaceholderScan.h"
#include "common/RunLog.h"
#include "template/TCodeTab.h"
#include "template/TextLines.h"

#include <QHash>
#include <QSet>
#include <vector>

namespace {

struct Placeholder {
    QString name;
    QString argument;
};

Placeholder firstPlaceholder(const QString &line)
{
    Placeholder p;
    FirstPlaceholder(line, p.argument, p.name);
    return p;
}

// As many blanks as the line has leading characters of code 32 or below.
QString indentationOf(const QString &line)
{
    qsizetype width = 0;
    while (width < line.size() && line[width].unicode() <= 32)
        ++width;
    return QString(width, u' ');
}

QString expansionComment(const QString &indent, const QString &name)
{
    return indent + QStringLiteral("// Macro: ") + name + QStringLiteral(" expanded");
}

// A body line as the expansion uses it: without its final line feed, and with the number of
// the argument its first placeholder stands for (only the first placeholder is looked at).
struct BodyLine {
    QString text;
    int argument = -1; // -1: the first placeholder is no argument placeholder
    QString marker;    // %%n%% as written, replaced wherever it occurs in the line
};

QList<BodyLine> prepareBody(const QStringList &body)
{
    QList<BodyLine> prepared;
    prepared.reserve(body.size());
    for (const QString &line : body) {
        BodyLine b{StripTrailingLineFeed(line), -1, QString()};
        const QString name = firstPlaceholder(b.text).name;
        if (const std::optional<int> n = name.isEmpty() ? std::nullopt : tryReadInt(name);
            n && *n >= 0) {
            b.argument = *n;
            b.marker = placeholderText(name);
        }
        prepared.append(std::move(b));
    }
    return prepared;
}

// The body line filled with its argument when the call has that many, behind the indentation.
QString bodyLine(const QString &indent, const BodyLine &line, const QStringList &arguments)
{
    if (line.argument < 0 || line.argument >= arguments.size())
        return indent + line.text;
    QString text = line.text;
    text.replace(line.marker, arguments[line.argument]);
    return indent + text;
}

// Builds the expanded text in a new list, depth first, so that a long program with a call on
// every line costs time in proportion to its length.
class MacroExpander {
public:
    MacroExpander(const NamedList<TCodeTab *> &macros, RunLog &log, MacroBounds bounds)
        : m_macros(macros), m_log(log), m_bounds(bounds)
    {
    }

    QStringList expand(const QStringList &code)
    {
        m_out.reserve(code.size());
        for (const QString &line : code)
            addLine(line, 0);
        return std::move(m_out);
    }

private:
    void addLine(const QString &line, int depth)
    {
        const Placeholder call = firstPlaceholder(line);
        TCodeTab *const *found = call.name.isEmpty() ? nullptr : m_macros.find(call.name);
        if (!found || !*found) {
            m_out.append(line);
            return;
        }
        const TCodeTab *macro = *found;
        if (refused(macro, call.name, depth)) {
            m_out.append(line);
            return;
        }
        const QString indent = indentationOf(line);
        const QStringList arguments = splitCommaText(call.argument);
        m_out.append(expansionComment(indent, call.name));
        // A copy of the prepared body: the cache may grow while it is read.
        const QList<BodyLine> body = preparedBody(macro);
        m_active.push_back(macro);
        for (const BodyLine &b : body)
            addLine(bodyLine(indent, b, arguments), depth + 1);
        m_active.pop_back();
    }

    // Each macro's body is prepared once per expansion, from its text as it was at the start:
    // the code being expanded may be the macro's own.
    QList<BodyLine> preparedBody(const TCodeTab *macro)
    {
        auto it = m_bodies.find(macro);
        if (it == m_bodies.end())
            it = m_bodies.insert(macro, prepareBody(macro->reCode));
        return *it;
    }

    // Whether the call must stay unexpanded. Each problem is logged once per expansion: a
    // call repeated a thousand times is one problem, and so is a text grown too long.
    bool refused(const TCodeTab *macro, const QString &name, int depth)
    {
        QString key;
        QString problem;
        if (std::find(m_active.begin(), m_active.end(), macro) != m_active.end()) {
            problem = macroCallsItself(name);
        } else if (depth >= m_bounds.nesting) {
            problem = macroNestedTooDeeply(name, m_bounds.nesting);
        } else if (m_out.size() >= m_bounds.lines) {
            problem = macroExpansionTooLong(name, m_bounds.lines);
            key = QStringLiteral("%%"); // no macro has this name
        } else {
            return false;
        }
        if (key.isEmpty())
            key = name.toCaseFolded();
        if (!m_reported.contains(key)) {
            m_reported.insert(key);
            m_log.LogError(problem);
        }
        return true;
    }

    const NamedList<TCodeTab *> &m_macros;
    RunLog &m_log;
    MacroBounds m_bounds;
    QStringList m_out;
    std::vector<const TCodeTab *> m_active; // the macros being expanded, outermost first
    QSet<QString> m_reported;
    QHash<const TCodeTab *, QList<BodyLine>> m_bodies;
};

} // namespace

QString macroCallsItself(const QString &name)
{
    return QStringLiteral("Macro %1 calls itself, the call is not expanded").arg(name);
}

QString macroNestedTooDeeply(const QString &name, int levels)
{
    return QStringLiteral("Macro %1 nested more than %2 levels deep, the call is not expanded")
        .arg(name)
        .arg(levels);
}

QString macroExpansionTooLong(const QString &name, qsizetype lines)
{
    return QStringLiteral("Macro %1 expands the code beyond %2 lines, the call is not expanded")
        .arg(name)
        .arg(lines);
}

void ExpandMacros(QStringList &code, const NamedList<TCodeTab *> &Macros, RunLog &log,
                  MacroBounds bounds)
{
    code = MacroExpander(Macros, log, bounds).expand(code);
}

void ExpandMacroCall(const QString &name, const QStringList &body, const QStringList &arguments,
                     qsizetype lineIndex, QStringList &code)
{
    const QString indent = indentationOf(code[lineIndex]);
    QStringList expanded;
    expanded.reserve(body.size());
    for (const BodyLine &b : prepareBody(body))
        expanded.append(bodyLine(indent, b, arguments));
    code[lineIndex] = expansionComment(indent, name);
    QStringList merged;
    merged.reserve(code.size() + expanded.size());
    merged.append(code.mid(0, lineIndex + 1));
    merged.append(expanded);
    merged.append(code.mid(lineIndex + 1));
    code = std::move(merged);
}
