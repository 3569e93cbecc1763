#include "expand/MacroExpansion.h"

#include "app/RunLog.h"
#include "common/CommaText.h"
#include "common/LenientInt.h"
#include "template/TCodeTab.h"
#include "template/TextLines.h"

#include <QSet>
#include <vector>

namespace {

struct Placeholder {
    QString name;
    QString argument;
};

// The first %%name%% or %%name(argument)%% of a line; an empty name when there is none.
Placeholder firstPlaceholder(const QString &line)
{
    const QLatin1StringView marker("%%");
    const qsizetype open = line.indexOf(marker);
    if (open < 0)
        return {};
    const qsizetype close = line.indexOf(marker, open + 2);
    if (close < 0)
        return {};
    Placeholder p{line.mid(open + 2, close - open - 2), QString()};
    const qsizetype paren = p.name.indexOf(u'(');
    const qsizetype closing = paren < 0 ? -1 : p.name.indexOf(u')', paren + 1);
    if (closing >= 0) {
        p.argument = p.name.mid(paren + 1, closing - paren - 1);
        p.name.truncate(paren);
    }
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

// One body line with its argument placeholder filled: only the line's first placeholder is
// looked at, and it must be a whole non-negative number below the number of arguments.
QString bodyLine(const QString &indent, const QString &line, const QStringList &arguments)
{
    QString text = StripTrailingLineFeed(line);
    const QString name = firstPlaceholder(text).name;
    if (!name.isEmpty()) {
        const std::optional<int> n = tryReadInt(name);
        if (n && *n >= 0 && *n < arguments.size())
            text.replace(QStringLiteral("%%") + name + QStringLiteral("%%"), arguments[*n]);
    }
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
        // The body is read through a copy: it may be the very text being expanded.
        const QStringList body = macro->reCode;
        m_active.push_back(macro);
        for (const QString &b : body)
            addLine(bodyLine(indent, b, arguments), depth + 1);
        m_active.pop_back();
    }

    // Whether the call must stay unexpanded. Each problem is logged once per expansion: a
    // call repeated a thousand times is one problem, and so is a text grown too long.
    bool refused(const TCodeTab *macro, const QString &name, int depth)
    {
        QString key = name.toCaseFolded();
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
    for (const QString &b : body)
        expanded.append(bodyLine(indent, b, arguments));
    code[lineIndex] = expansionComment(indent, name);
    QStringList merged;
    merged.reserve(code.size() + expanded.size());
    merged.append(code.mid(0, lineIndex + 1));
    merged.append(expanded);
    merged.append(code.mid(lineIndex + 1));
    code = std::move(merged);
}
