#include "check/MacroPass.h"

#include "check/CheckContext.h"
#include "check/TextScan.h"
#include "template/MacroExpansion.h"
#include "template/TemplateFindings.h"
#include "template/TemplateVocabulary.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <optional>
#include <vector>

namespace {

struct Macro {
    QDomElement element;
    QStringList calls; // the macros its body calls, case-folded
};

// The first placeholders of the lines of a program's code: the calls the expansion makes.
void forEachCall(const QDomElement &program,
                 const std::function<void(const QString &name, const QDomElement &code,
                                          qsizetype offset, bool hasArguments)> &visit)
{
    for (QDomElement e = program.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (!isCodeElement(e))
            continue;
        const QString text = onlyText(e);
        scanPlaceholders(
            text,
            [&](const PlaceholderAt &p) {
                if (!p.firstOnLine || p.name.isEmpty() || p.name.startsWith(u'#'))
                    return;
                const qsizetype open = p.name.indexOf(u'(');
                const bool call = open >= 0 && p.name.indexOf(u')', open) >= 0;
                visit(call ? p.name.left(open) : p.name, e, p.offset, call);
            },
            [](qsizetype) {});
    }
}

class MacroGraph {
public:
    explicit MacroGraph(CheckContext &c) : m_c(c) {}

    void build()
    {
        forEachProgram(m_c.body, QStringLiteral("Macros"), [&](const QDomElement &m) {
            const QString key = m.nodeName().toCaseFolded();
            if (!m_macros.contains(key)) {
                m_macros.insert(key, {m, {}});
                m_order.append(key);
            }
        });
        forEachProgram(m_c.body, QStringLiteral("Macros"), [&](const QDomElement &m) {
            collectCalls(m, &m_macros[m.nodeName().toCaseFolded()].calls);
        });
        for (const char *section : {"MainCode", "FunctionBlocks"})
            forEachProgram(m_c.body, QString::fromLatin1(section),
                           [&](const QDomElement &p) { collectCalls(p, &m_used); });
    }

    void reportCycles()
    {
        QSet<QString> reported;
        for (const QString &start : m_order) {
            if (reported.contains(start))
                continue;
            QStringList path{start};
            if (findCycle(start, path)) {
                QStringList names;
                for (const QString &key : path) {
                    names.append(m_macros[key].element.nodeName());
                    reported.insert(key);
                }
                m_c.report(m_macros[start].element, TemplateFinding::recursiveMacro(names));
            }
        }
    }

    void reportUnused()
    {
        QSet<QString> reached;
        QStringList todo = m_used;
        while (!todo.isEmpty()) { // each macro enters once: bounded by their number
            const QString key = todo.takeLast();
            if (!m_macros.contains(key) || reached.contains(key))
                continue;
            reached.insert(key);
            todo.append(m_macros[key].calls);
        }
        for (const QString &key : m_order) {
            if (!reached.contains(key))
                m_c.report(m_macros[key].element,
                           TemplateFinding::unusedMacro(m_macros[key].element.nodeName()));
        }
    }

    // Macros whose calls go deeper than the expansion follows, from the programs' calls.
    void reportDeepNesting()
    {
        const int limit = MacroBounds().nesting;
        QSet<QString> reported;
        for (const QString &key : m_used) {
            const int levels = height(key);
            if (levels > limit && !reported.contains(key)) {
                reported.insert(key);
                m_c.report(m_macros[key].element,
                           TemplateFinding::macroNestedTooDeeply(m_macros[key].element.nodeName(),
                                                                 levels, limit));
            }
        }
    }

private:
    // How many macros deep the calls of macro `key` go, itself included; a call back into a
    // macro being followed (a cycle, reported apart) counts nothing. Iterative, each macro
    // measured once.
    int height(const QString &key)
    {
        if (!m_macros.contains(key))
            return 0;
        struct Frame {
            QString key;
            qsizetype next = 0;
        };
        std::vector<Frame> stack;
        QSet<QString> following;
        const auto enter = [&](const QString &k) {
            if (m_macros.contains(k) && !m_heights.contains(k) && !following.contains(k)) {
                following.insert(k);
                stack.push_back({k, 0});
            }
        };
        enter(key);
        while (!stack.empty()) {
            Frame &top = stack.back();
            const QStringList &calls = m_macros[top.key].calls;
            if (top.next < calls.size()) {
                enter(calls[top.next++]);
                continue;
            }
            int deepest = 0;
            for (const QString &callee : calls)
                deepest = std::max(deepest, m_heights.value(callee, 0));
            m_heights.insert(top.key, deepest + 1);
            following.remove(top.key);
            stack.pop_back();
        }
        return m_heights.value(key, 0);
    }

    void collectCalls(const QDomElement &program, QStringList *into)
    {
        QDomElement placed; // the code element `places` belongs to
        std::optional<TemplateDiagnostics::TextPlaces> places;
        forEachCall(program, [&](const QString &name, const QDomElement &code, qsizetype offset,
                                 bool hasArguments) {
            const QString key = name.toCaseFolded();
            if (m_macros.contains(key)) {
                into->append(key);
                return;
            }
            if (!hasArguments)
                return;
            if (!places || placed != code) {
                places.emplace(m_c.diagnostics.textStart(code), onlyText(code));
                placed = code;
            }
            m_c.diagnostics.add(places->at(offset),
                                TemplateFinding::unknownMacro(name, nearestName(name)));
        });
    }

    QString nearestName(const QString &name)
    {
        if (m_names.isEmpty()) {
            for (const QString &key : m_order)
                m_names.append(m_macros[key].element.nodeName());
        }
        return ::nearestName(name, m_names);
    }

    // Depth first from `start` back to itself, each macro entered once, so that the search
    // costs time in proportion to the calls; iterative, as a chain of calls may be long.
    // Leaves in `path` the macros of the cycle found, `start` first and last.
    bool findCycle(const QString &start, QStringList &path)
    {
        QSet<QString> entered{start};
        std::vector<qsizetype> nextCall{0}; // per macro of the path, its next call to try
        while (!path.isEmpty()) {
            const QStringList &calls = m_macros[path.last()].calls;
            if (nextCall.back() >= calls.size()) {
                path.removeLast();
                nextCall.pop_back();
                continue;
            }
            const QString next = calls[nextCall.back()++];
            if (next == start) {
                path.append(next);
                return true;
            }
            if (!m_macros.contains(next) || entered.contains(next))
                continue;
            entered.insert(next);
            path.append(next);
            nextCall.push_back(0);
        }
        return false;
    }

    CheckContext &m_c;
    QHash<QString, Macro> m_macros; // by case-folded name; the first of a name
    QStringList m_order;            // document order
    QStringList m_used;             // macros the programs call
    QStringList m_names;            // of the macros, as written, for suggestions
    QHash<QString, int> m_heights;  // see height()
};

} // namespace

void CheckMacros(CheckContext &c)
{
    MacroGraph graph(c);
    graph.build();
    graph.reportCycles();
    graph.reportUnused();
    graph.reportDeepNesting();
}
