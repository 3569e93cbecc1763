#include "PlanScenario.h"

#include "run/ProgramAssembly.h"

namespace {

struct DumpItems {
    QMap<QString, QString> items;     // "folder P", "program N", "variable G/N" -> its lines
    QMap<QString, QStringList> order; // group -> its variables in order
};

int indentOf(const QString &line)
{
    int n = 0;
    while (n < line.size() && line[n] == u' ')
        ++n;
    return n;
}

QString unquoted(const QString &text)
{
    return text.size() >= 2 ? text.mid(1, text.size() - 2) : text;
}

DumpItems parseDump(const QString &dump)
{
    DumpItems out;
    QStringList folders;
    QString group, current;
    for (const QString &line : dump.split(u'\n', Qt::SkipEmptyParts)) {
        const int indent = indentOf(line);
        const QString text = line.mid(indent);
        const QString word = text.section(u' ', 0, 0);
        if (word == u"folder") {
            folders = folders.mid(0, indent / 2);
            folders << unquoted(text.section(u' ', 1));
            current = QStringLiteral("folder ") + folders.join(u'\\');
            out.items.insert(current, QString());
        } else if (word == u"program") {
            current = QStringLiteral("program ") + text.section(u' ', 1, 1);
            out.items.insert(current, text);
        } else if (word == u"group") {
            group = text.section(u' ', 1);
            current.clear();
        } else if (word == u"var") {
            const QString name = text.section(u' ', 1, 1);
            current = QStringLiteral("variable ") + group + u'/' + name;
            out.items.insert(current, text);
            out.order[group] << name.toLower();
        } else if (!current.isEmpty() && (word == u"comment" || word == u"property")) {
            out.items[current] += u'\n' + text;
        }
    }
    return out;
}

// Files that only the project database writes, or that stand for a program.
bool databaseFile(const QString &name)
{
    return name.startsWith(u"appli.k5db") || name.startsWith(u"appli.k5lk") ||
           name == u"appli.xml" || name.endsWith(u".st");
}

QStringList relativeOrder(const QStringList &names, const QSet<QString> &common)
{
    QStringList kept;
    for (const QString &n : names) {
        if (common.contains(n))
            kept << n;
    }
    return kept;
}

const char *kindAction(const QString &key, bool added)
{
    if (key.startsWith(u"variable"))
        return added ? "added" : "removed";
    return added ? "created" : "deleted";
}

} // namespace

QSet<QString> buildChanges(const QString &dumpBefore, const QString &dumpAfter,
                           const QMap<QString, PlanScenario::FileState> &filesBefore,
                           const QMap<QString, PlanScenario::FileState> &filesAfter)
{
    DumpItems before = parseDump(dumpBefore), after = parseDump(dumpAfter);
    // a program's source belongs to the program
    for (DumpItems *items : {&before, &after}) {
        const auto &files = items == &before ? filesBefore : filesAfter;
        for (auto it = items->items.begin(); it != items->items.end(); ++it) {
            if (!it.key().startsWith(u"program "))
                continue;
            // the generation time in the first line changes with every build: no change
            QString source = QString::fromLatin1(files.value(it.key().mid(8) + ".st").bytes);
            if (source.startsWith(generatedAtPrefix()))
                source = source.mid(source.indexOf(u'\n'));
            it.value() += u'\n' + source;
        }
    }
    QSet<QString> changes;
    for (auto it = after.items.cbegin(); it != after.items.cend(); ++it) {
        if (!before.items.contains(it.key()))
            changes << it.key() + u' ' + QLatin1String(kindAction(it.key(), true));
        else if (before.items.value(it.key()) != it.value())
            changes << it.key() + QStringLiteral(" changed");
    }
    for (auto it = before.items.cbegin(); it != before.items.cend(); ++it) {
        if (!after.items.contains(it.key()))
            changes << it.key() + u' ' + QLatin1String(kindAction(it.key(), false));
    }
    for (auto it = after.order.cbegin(); it != after.order.cend(); ++it) {
        const QStringList was = before.order.value(it.key());
        const QSet<QString> common = QSet<QString>(was.begin(), was.end()) &
                                     QSet<QString>(it.value().begin(), it.value().end());
        if (relativeOrder(was, common) != relativeOrder(it.value(), common))
            changes << QStringLiteral("order ") + it.key() + QStringLiteral(" changed");
    }
    QSet<QString> names;
    for (const QString &name : filesBefore.keys() + filesAfter.keys()) {
        if (!databaseFile(name))
            names << name;
    }
    for (const QString &name : names) {
        if (!filesBefore.contains(name))
            changes << QStringLiteral("file ") + name + QStringLiteral(" created");
        else if (!filesAfter.contains(name))
            changes << QStringLiteral("file ") + name + QStringLiteral(" deleted");
        else if (filesBefore.value(name).bytes != filesAfter.value(name).bytes)
            changes << QStringLiteral("file ") + name + QStringLiteral(" changed");
    }
    return changes;
}

QSet<QString> planChanges(const ChangePlan &plan)
{
    QSet<QString> changes;
    for (const ProjectPlan &p : plan.projects) {
        for (const FolderChange &f : p.folders)
            changes << QStringLiteral("folder ") + f.path + u' ' + f.action;
        for (const ProgramChange &c : p.programs) {
            if (c.action == u"created" || c.action == u"deleted")
                changes << QStringLiteral("program ") + c.name + u' ' + c.action;
            else if (c.action == u"replaced")
                changes << QStringLiteral("program ") + c.name + QStringLiteral(" changed");
        }
        for (const GroupPlan &g : p.groups) {
            for (const VariableChange &v : g.variables) {
                const bool same = v.action == u"added" || v.action == u"removed";
                changes << QStringLiteral("variable ") + g.name + u'/' + v.name + u' ' +
                               (same ? v.action : QStringLiteral("changed"));
            }
            if (g.reordered)
                changes << QStringLiteral("order ") + g.name + QStringLiteral(" changed");
        }
        for (const FileChange &f : p.files) {
            if (f.action == u"created" || f.action == u"changed" || f.action == u"deleted")
                changes << QStringLiteral("file ") + f.name + u' ' + f.action;
        }
    }
    return changes;
}
