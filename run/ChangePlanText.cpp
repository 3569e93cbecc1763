#include "run/ChangePlanText.h"

namespace {

// Unchanged programs are named on one line up to this many; beyond, only counted.
constexpr int kMaxUnchangedNamed = 10;

QChar markOf(const QString &action)
{
    struct Mark {
        const char *action;
        char mark;
    };
    static const Mark kMarks[] = {
        {"created", '+'},   {"added", '+'},   {"appended", '+'},    {"removed", '-'},
        {"deleted", '-'},   {"changed", '~'}, {"replaced", '~'},    {"updated", '~'},
        {"recreated", '~'}, {"marked", '~'},  {"unchanged", '='},   {"kept", '='},
        {"left", '='},      {"skipped", '!'}, {"regenerated", '*'},
    };
    for (const Mark &m : kMarks) {
        if (action == QLatin1String(m.action))
            return QChar(m.mark);
    }
    return QChar(u'?');
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

QString describeField(const PlanField &f, bool added)
{
    if (added)
        return f.name + u' ' + (f.name == u"type" ? f.after : quoted(f.after));
    return f.name + u' ' + quoted(f.before) + QStringLiteral(" -> ") + quoted(f.after);
}

void indentAll(QStringList &out, const QStringList &lines, const QString &indent)
{
    for (const QString &line : lines)
        out << indent + line;
}

void writePrograms(const ProjectPlan &p, QStringList &out)
{
    if (p.programs.empty())
        return;
    out << QStringLiteral("  Programs:");
    QStringList unchanged;
    for (const ProgramChange &c : p.programs) {
        if (c.action == u"unchanged") {
            unchanged << c.name;
            continue;
        }
        QString line = QStringLiteral("    ") + markOf(c.action) + u' ' + c.name;
        if (!c.folder.isEmpty())
            line += QStringLiteral(" (") + c.folder + u')';
        line += QStringLiteral(": ") +
                (c.action == u"replaced" ? QStringLiteral("source replaced") : c.action);
        for (const QString &detail : c.details)
            line += QStringLiteral(", ") + detail;
        out << line;
        indentAll(out, c.diff, QStringLiteral("        "));
    }
    if (unchanged.isEmpty())
        return;
    out << (unchanged.size() <= kMaxUnchangedNamed
                ? QStringLiteral("    = unchanged: ") + unchanged.join(QStringLiteral(", "))
                : QStringLiteral("    = %1 programs unchanged").arg(unchanged.size()));
}

void writeGroups(const ProjectPlan &p, QStringList &out)
{
    for (const GroupPlan &g : p.groups) {
        out << QStringLiteral("  Variables ") + g.name + u':';
        if (g.skipped)
            out << QStringLiteral("    ! skipped, locked by another client");
        for (const VariableChange &v : g.variables) {
            QString line = QStringLiteral("    ") + markOf(v.action) + u' ' + v.name +
                           QStringLiteral(": ") + v.action;
            for (const PlanField &f : v.fields)
                line += QStringLiteral(", ") + describeField(f, v.action == u"added");
            out << line;
        }
        if (g.reordered)
            out << QStringLiteral("    ~ the order of the variables that stay changes");
        if (g.unchanged > 0)
            out << QStringLiteral("    = %1 unchanged").arg(g.unchanged);
    }
}

void writeFiles(const ProjectPlan &p, QStringList &out)
{
    if (p.files.empty())
        return;
    out << QStringLiteral("  Files:");
    for (const FileChange &f : p.files) {
        QString what = f.action;
        if (f.action == u"left")
            what = QStringLiteral("left as it is");
        else if (f.action == u"regenerated")
            what = QStringLiteral("deleted, written anew by the project database at save");
        out << QStringLiteral("    ") + markOf(f.action) + u' ' + f.name + QStringLiteral(": ") +
                   what;
        indentAll(out, f.diff, QStringLiteral("        "));
        for (const OptionChange &o : f.options) {
            QString line =
                QStringLiteral("        ") + markOf(o.action) + u' ' + o.key + u'=' + o.after;
            if (o.action == u"changed")
                line += QStringLiteral(" (was ") + o.before + u')';
            else if (o.action == u"appended")
                line += QStringLiteral(" (appended)");
            out << line;
        }
    }
}

} // namespace

QString changePlanSummaryLine(const ChangePlan &plan)
{
    const PlanSummary s = plan.summary();
    return QStringLiteral(
               "Plan: programs %1 created, %2 replaced, %3 deleted, %4 unchanged, %5 kept"
               ", %6 skipped; ")
               .arg(s.programsCreated)
               .arg(s.programsReplaced)
               .arg(s.programsDeleted)
               .arg(s.programsUnchanged)
               .arg(s.programsKept)
               .arg(s.programsSkipped) +
           QStringLiteral("variables %1 added, %2 removed, %3 updated, %4 recreated, %5 marked, "
                          "%6 groups skipped; ")
               .arg(s.variablesAdded)
               .arg(s.variablesRemoved)
               .arg(s.variablesUpdated)
               .arg(s.variablesRecreated)
               .arg(s.variablesMarked)
               .arg(s.groupsSkipped) +
           QStringLiteral("folders %1 created, %2 deleted; files %3 created, %4 changed, %5 "
                          "unchanged, %6 left")
               .arg(s.foldersCreated)
               .arg(s.foldersDeleted)
               .arg(s.filesCreated)
               .arg(s.filesChanged)
               .arg(s.filesUnchanged)
               .arg(s.filesLeft);
}

QStringList changePlanText(const ChangePlan &plan)
{
    QStringList out;
    for (const ProjectPlan &p : plan.projects) {
        out << QStringLiteral("Project ") + p.folder +
                   (p.created ? QStringLiteral(": created") : QStringLiteral(":"));
        if (p.workspace == u"unpacked") {
            out << QStringLiteral("  + multi-task workspace unpacked");
            for (const FileChange &f : p.workspaceFiles)
                out << QStringLiteral("    ") + markOf(f.action) + u' ' + f.name +
                           QStringLiteral(": ") + f.action;
        } else if (p.workspace == u"reused")
            out << QStringLiteral("  = multi-task workspace reused");
        if (!p.folders.empty()) {
            out << QStringLiteral("  Folders:");
            for (const FolderChange &f : p.folders)
                out << QStringLiteral("    ") + markOf(f.action) + u' ' + f.path +
                           QStringLiteral(": ") + f.action;
        }
        writePrograms(p, out);
        writeGroups(p, out);
        writeFiles(p, out);
    }
    if (!plan.ok)
        out << QStringLiteral("The plan is incomplete: a run failed (see the log).");
    out << changePlanSummaryLine(plan);
    out << (plan.hasChanges() ? QStringLiteral("The build would change the project.")
                              : QStringLiteral("The build would change nothing."));
    return out;
}
