#include "run/ChangePlanBuilder.h"

#include "common/IniDocument.h"
#include "common/ProjectTextFile.h"
#include "common/Windows1252.h"
#include "project/PlannedBuild.h"
#include "run/LineDiff.h"
#include "run/ProgramAssembly.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringConverter>

#include <algorithm>
#include <optional>

namespace {

const QByteArray kMarker = QByteArrayLiteral("!CrByGen!");
const QByteArray kOptionsSection = QByteArrayLiteral("OPTIONS");

QString direction(quint32 flags)
{
    if ((flags & 72u) == 72u)
        return QStringLiteral("INOUT");
    if (flags & 8u)
        return QStringLiteral("IN");
    if (flags & 16u)
        return QStringLiteral("OUT");
    return QString();
}

QString number(quint32 n)
{
    return n == 0 ? QString() : QString::number(n);
}

// The fields of a variable that a build sets, by name, in the order they are shown.
struct FieldOf {
    const char *name;
    bool definition; // a change recreates the variable
    QString (*get)(const VariableState &);
};
const FieldOf kFields[] = {
    {"type", true, [](const VariableState &v) { return v.text(VariableState::Type); }},
    {"dimension", true, [](const VariableState &v) { return number(v.dim); }},
    {"direction", true, [](const VariableState &v) { return direction(v.flags); }},
    {"string length", true, [](const VariableState &v) { return number(v.length); }},
    {"initial value", false, [](const VariableState &v) { return v.text(VariableState::Init); }},
    {"tag", false, [](const VariableState &v) { return v.text(VariableState::Tag); }},
    {"description", false,
     [](const VariableState &v) { return v.text(VariableState::Description); }},
    {"profile", false, [](const VariableState &v) { return v.text(VariableState::Profile); }},
    {"properties", false, [](const VariableState &v) { return v.text(VariableState::Embed); }},
};

std::optional<VariableChange> compareVariable(const VariableState &before,
                                              const VariableState &after)
{
    // compared as stored first: that spares the texts of most variables of a rebuild
    if (before == after)
        return std::nullopt;
    VariableChange change{after.name(), QString(), {}};
    bool definition = false;
    for (const FieldOf &field : kFields) {
        const QString a = field.get(before), b = field.get(after);
        if (a == b)
            continue;
        change.fields.push_back({QLatin1String(field.name), a, b});
        definition = definition || field.definition;
    }
    if (change.fields.empty())
        return std::nullopt;
    if (definition)
        change.action = QStringLiteral("recreated");
    else if (!before.raw(VariableState::Description).contains(kMarker) &&
             after.raw(VariableState::Description).contains(kMarker))
        change.action = QStringLiteral("marked");
    else
        change.action = QStringLiteral("updated");
    return change;
}

VariableChange newVariable(const VariableState &v)
{
    VariableChange change{v.name(), QStringLiteral("added"), {}};
    for (const FieldOf &field : kFields) {
        if (const QString value = field.get(v); !value.isEmpty())
            change.fields.push_back({QLatin1String(field.name), QString(), value});
    }
    return change;
}

template <typename T> QHash<QString, const T *> byName(const std::vector<T> &items)
{
    QHash<QString, const T *> map;
    for (const T &item : items)
        map.insert(item.name.toLower(), &item);
    return map;
}

// Names as the plan matches them, in the order of the variables.
QStringList lowerNames(const std::vector<VariableState> &variables)
{
    QStringList keys;
    keys.reserve(qsizetype(variables.size()));
    for (const VariableState &v : variables)
        keys << v.name().toLower();
    return keys;
}

QHash<QString, const VariableState *> byKey(const std::vector<VariableState> &variables,
                                            const QStringList &keys)
{
    QHash<QString, const VariableState *> map;
    map.reserve(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i)
        map.insert(keys[i], &variables[std::size_t(i)]);
    return map;
}

// A group that holds the same names in the same order: the variables pair up by position.
bool sameNames(const GroupState &a, const GroupState &b)
{
    return a.variables.size() == b.variables.size() &&
           std::equal(a.variables.begin(), a.variables.end(), b.variables.begin(),
                      [](const VariableState &x, const VariableState &y) {
                          return x.raw(VariableState::Name) == y.raw(VariableState::Name);
                      });
}

GroupPlan compareGroup(const QString &name, const GroupState *before, const GroupState *after,
                       bool locked)
{
    static const GroupState none;
    const GroupState &b = before ? *before : none;
    const GroupState &a = after ? *after : none;
    GroupPlan plan{name, locked, false, 0, {}};
    if (sameNames(a, b)) {
        // what a rebuild mostly leaves: nothing added, removed or moved
        for (std::size_t i = 0; i < a.variables.size(); ++i) {
            if (auto change = compareVariable(b.variables[i], a.variables[i]))
                plan.variables.push_back(std::move(*change));
            else
                ++plan.unchanged;
        }
        return plan;
    }
    const QStringList oldKeys = lowerNames(b.variables);
    const QStringList nowKeys = lowerNames(a.variables);
    const auto old = byKey(b.variables, oldKeys);
    const auto now = byKey(a.variables, nowKeys);
    QStringList keptBefore, keptAfter;
    for (const QString &key : oldKeys) {
        if (now.contains(key))
            keptBefore << key;
    }
    for (std::size_t i = 0; i < a.variables.size(); ++i) {
        const VariableState &v = a.variables[i];
        const VariableState *was = old.value(nowKeys[qsizetype(i)]);
        if (!was) {
            plan.variables.push_back(newVariable(v));
            continue;
        }
        keptAfter << nowKeys[qsizetype(i)];
        if (auto change = compareVariable(*was, v))
            plan.variables.push_back(std::move(*change));
        else
            ++plan.unchanged;
    }
    for (std::size_t i = 0; i < b.variables.size(); ++i) {
        if (!now.contains(oldKeys[qsizetype(i)]))
            plan.variables.push_back({b.variables[i].name(), QStringLiteral("removed"), {}});
    }
    plan.reordered = keptBefore != keptAfter;
    return plan;
}

// The files a build writes, by path.
using FileMap = QHash<QString, const RecordedProjectFiles::Change *>;

QStringList linesOf(const std::optional<QByteArray> &bytes)
{
    return bytes ? projectTextLines(*bytes) : QStringList();
}

// The generated main program's first lines both name a generation time, and the other lines
// are the same.
bool onlyTheTimeDiffers(const QStringList &before, const QStringList &after)
{
    if (before.size() != after.size() || before.isEmpty())
        return false;
    const QString prefix = generatedAtPrefix();
    if (!before.front().startsWith(prefix) || !after.front().startsWith(prefix))
        return false;
    return std::equal(before.begin() + 1, before.end(), after.begin() + 1);
}

// The first line of Windows-1252 text up to the line feed at `lineFeed`; none when a lone
// carriage return breaks it into more lines.
std::optional<QString> firstLineOf(const QByteArray &bytes, qsizetype lineFeed)
{
    QByteArrayView line = QByteArrayView(bytes).first(lineFeed);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.contains('\r'))
        return std::nullopt;
    return fromWindows1252(line);
}

// onlyTheTimeDiffers told from the bytes, without splitting a long source into lines: true
// only when the bytes after the first line feed are the same and both first lines name a
// generation time. False says nothing: the lines are compared then.
bool onlyTheTimeLineDiffers(const QByteArray &before, const QByteArray &after)
{
    if (QStringConverter::encodingForData(before) || QStringConverter::encodingForData(after))
        return false;
    const qsizetype a = before.indexOf('\n'), b = after.indexOf('\n');
    if (a < 0 || b < 0 || QByteArrayView(before).sliced(a) != QByteArrayView(after).sliced(b))
        return false;
    const QString prefix = generatedAtPrefix();
    const std::optional<QString> was = firstLineOf(before, a), now = firstLineOf(after, b);
    return was && now && was->startsWith(prefix) && now->startsWith(prefix);
}

// What differs in where a program sits and what it is, beside its source.
QStringList changedAttributes(const ProgramState &was, const ProgramState &now)
{
    QStringList changed;
    if (was.folder != now.folder)
        changed << QStringLiteral("folder ") + was.folder + QStringLiteral(" -> ") + now.folder;
    if (was.description != now.description)
        changed << QStringLiteral("description \"") + was.description + QStringLiteral("\" -> \"") +
                       now.description + u'"';
    if (was.section != now.section)
        changed << QStringLiteral("section %1 -> %2").arg(was.section).arg(now.section);
    if (was.enabled != now.enabled || was.structure != now.structure)
        changed << QStringLiteral("properties");
    return changed;
}

void comparePrograms(const PlannedBuild::Project &p, const PlanNotes &notes, const FileMap &files,
                     ProjectPlan &plan)
{
    const auto old = byName(p.before.programs);
    const auto now = byName(p.after.programs);
    QSet<QString> lockedPrograms;
    for (const QString &name : notes.lockedPrograms)
        lockedPrograms.insert(name.toLower());
    for (const ProgramState &program : p.after.programs) {
        const QString key = program.name.toLower();
        ProgramChange change{program.name, program.folder, QString(), {}, {}};
        const RecordedProjectFiles::Change *source = files.value(program.sourcePath);
        const ProgramState *was = old.value(key);
        if (lockedPrograms.contains(key)) {
            change.action = QStringLiteral("skipped");
            change.details << QStringLiteral("locked by another client");
        } else if (!was) {
            change.action = QStringLiteral("created");
            const qsizetype lines = source ? linesOf(source->after).size() : 0;
            change.details << QStringLiteral("%1 source lines").arg(lines);
        } else if (source) {
            const bool same = source->before == source->after;
            const bool timeOnly = !same && source->before && source->after &&
                                  onlyGenerationTimeDiffers(*source->before, *source->after);
            const QStringList changed = changedAttributes(*was, program);
            if (timeOnly)
                change.details << QStringLiteral("written anew; only the generation time in its "
                                                 "first line changes");
            else if (!same)
                change.diff = unifiedDiff(linesOf(source->before), linesOf(source->after));
            change.details << changed;
            change.action = change.diff.isEmpty() && changed.isEmpty() ? QStringLiteral("unchanged")
                                                                       : QStringLiteral("replaced");
        } else if (notes.programs.contains(key)) {
            change.action = QStringLiteral("kept");
            change.details << QStringLiteral("exists and the template does not overwrite it");
        } else {
            continue; // a program of the user's that the build does not touch
        }
        plan.programs.push_back(std::move(change));
    }
    for (const ProgramState &program : p.before.programs) {
        if (!now.contains(program.name.toLower()))
            plan.programs.push_back(
                {program.name, program.folder, QStringLiteral("deleted"), {}, {}});
    }
}

void compareFolders(const PlannedBuild::Project &p, ProjectPlan &plan)
{
    QSet<QString> before, after;
    for (const QString &f : p.before.folders)
        before.insert(f.toLower());
    for (const QString &f : p.after.folders)
        after.insert(f.toLower());
    for (const QString &f : p.after.folders) {
        if (!before.contains(f.toLower()))
            plan.folders.push_back({f, QStringLiteral("created")});
    }
    for (const QString &f : p.before.folders) {
        if (!after.contains(f.toLower()))
            plan.folders.push_back({f, QStringLiteral("deleted")});
    }
}

void compareGroups(const PlannedBuild::Project &p, const PlanNotes &notes, ProjectPlan &plan)
{
    const auto old = byName(p.before.groups);
    const auto now = byName(p.after.groups);
    QSet<QString> locked;
    for (const QString &name : notes.lockedGroups)
        locked.insert(name.toLower());
    QStringList names;
    for (const GroupState &g : p.after.groups)
        names << g.name;
    for (const GroupState &g : p.before.groups) {
        if (!now.contains(g.name.toLower()))
            names << g.name;
    }
    for (const QString &name : names) {
        const QString key = name.toLower();
        GroupPlan group = compareGroup(name, old.value(key), now.value(key), locked.contains(key));
        if (group.skipped || group.reordered || !group.variables.empty())
            plan.groups.push_back(std::move(group));
    }
}

std::vector<OptionChange> compareOptions(const std::optional<QByteArray> &before,
                                         const std::optional<QByteArray> &after)
{
    const IniDocument old = IniDocument::parse(before.value_or(QByteArray()));
    const IniDocument now = IniDocument::parse(after.value_or(QByteArray()));
    std::vector<OptionChange> out;
    for (const QByteArray &key : now.keys(kOptionsSection)) {
        const auto was = old.value(kOptionsSection, key);
        const QString value = QString::fromLatin1(now.value(kOptionsSection, key).value_or(""));
        if (!was)
            out.push_back({QString::fromLatin1(key), QStringLiteral("appended"), {}, value});
        else if (QString::fromLatin1(*was) != value)
            out.push_back({QString::fromLatin1(key), QStringLiteral("changed"),
                           QString::fromLatin1(*was), value});
        else
            out.push_back({QString::fromLatin1(key), QStringLiteral("unchanged"), value, value});
    }
    return out;
}

FileChange compareFile(const QString &name, const RecordedProjectFiles::Change &c)
{
    FileChange f{name, QStringLiteral("text"), QString(), {}, {}};
    const QString lower = name.toLower();
    if (lower == u"appli.xml") {
        // the project database writes it anew from the program tree at every save
        f.kind = QStringLiteral("export");
        f.action = QStringLiteral("regenerated");
        return f;
    }
    if (lower == u"appli.eqv")
        f.kind = QStringLiteral("defines");
    else if (lower == u"appli.k5p")
        f.kind = QStringLiteral("project");
    else if (lower == u"appli.cpo")
        f.kind = QStringLiteral("options");
    if (!c.after)
        f.action = QStringLiteral("deleted");
    else if (!c.before)
        f.action = QStringLiteral("created");
    else
        f.action = *c.before == *c.after ? QStringLiteral("unchanged") : QStringLiteral("changed");
    if (f.kind == u"options")
        f.options = compareOptions(c.before, c.after);
    else if (f.action != u"unchanged")
        f.diff = unifiedDiff(linesOf(c.before), linesOf(c.after));
    return f;
}

bool inside(const QString &folder, const QString &path)
{
    return path.startsWith(QDir::cleanPath(folder) + u'/');
}

void compareFiles(const std::vector<RecordedProjectFiles::Change> &changes,
                  const PlannedBuild::Project &p, const PlanNotes &notes,
                  const QSet<QString> &sources, ProjectPlan &plan)
{
    const QDir folder(p.folder);
    QSet<QString> written;
    for (const RecordedProjectFiles::Change &c : changes) {
        if (sources.contains(c.path) || !inside(p.folder, QDir::cleanPath(c.path)))
            continue;
        if (!c.before && !c.after)
            continue; // made and removed again: missing, as it was
        written.insert(QDir::cleanPath(c.path));
        plan.files.push_back(compareFile(folder.relativeFilePath(c.path), c));
    }
    for (const QString &path : notes.textFiles) {
        if (!written.contains(QDir::cleanPath(path)) && QFileInfo::exists(path))
            plan.files.push_back({folder.relativeFilePath(path),
                                  QStringLiteral("text"),
                                  QStringLiteral("left"),
                                  {},
                                  {}});
    }
}

// The files an unpacked workspace holding the project makes beside the project's folder.
void compareWorkspaceFiles(const std::vector<RecordedProjectFiles::Change> &changes,
                           const QString &workspace, const PlannedBuild::Project &p,
                           ProjectPlan &plan)
{
    const QDir folder(workspace);
    for (const RecordedProjectFiles::Change &c : changes) {
        const QString path = QDir::cleanPath(c.path);
        if (inside(workspace, path) && !inside(p.folder, path) && (c.before || c.after))
            plan.workspaceFiles.push_back(compareFile(folder.relativeFilePath(path), c));
    }
}

bool listed(const ProjectPlan &plan, const QString &name)
{
    return std::any_of(plan.files.begin(), plan.files.end(),
                       [&name](const FileChange &f) { return f.name == name; });
}

} // namespace

bool onlyGenerationTimeDiffers(const QByteArray &before, const QByteArray &after)
{
    return onlyTheTimeLineDiffers(before, after) ||
           onlyTheTimeDiffers(projectTextLines(before), projectTextLines(after));
}

QString planNotesKey(const QString &projectFolder)
{
    return QDir::cleanPath(QFileInfo(projectFolder).absoluteFilePath());
}

ChangePlan buildChangePlan(const PlannedBuild &build, const QHash<QString, PlanNotes> &notes,
                           bool ok)
{
    ChangePlan plan;
    plan.ok = ok;
    FileMap files;
    const std::vector<RecordedProjectFiles::Change> changes = build.files().changes();
    for (const auto &c : changes)
        files.insert(c.path, &c);
    QSet<QString> sources;
    for (const PlannedBuild::Project &p : build.projects()) {
        for (const ProgramState &program : p.after.programs)
            sources.insert(program.sourcePath);
        for (const ProgramState &program : p.before.programs)
            sources.insert(program.sourcePath);
    }
    for (const PlannedBuild::Project &p : build.projects()) {
        const PlanNotes n = notes.value(planNotesKey(p.folder));
        ProjectPlan project;
        project.folder = p.folder;
        project.created = !p.existed;
        const PlannedBuild::Workspace *unpacked = nullptr;
        for (const PlannedBuild::Workspace &w : build.workspaces()) {
            if (inside(w.folder, QDir::cleanPath(p.folder))) {
                project.workspace =
                    w.unpacks ? QStringLiteral("unpacked") : QStringLiteral("reused");
                unpacked = w.unpacks ? &w : nullptr;
            }
        }
        compareFolders(p, project);
        comparePrograms(p, n, files, project);
        compareGroups(p, n, project);
        compareFiles(changes, p, n, sources, project);
        if (unpacked)
            compareWorkspaceFiles(changes, QDir::cleanPath(unpacked->folder), p, project);
        // a project made by the database, not unpacked with the workspace
        if (project.created && !listed(project, QStringLiteral("appli.k5p")))
            project.files.insert(project.files.begin(), {QStringLiteral("appli.k5p"),
                                                         QStringLiteral("project"),
                                                         QStringLiteral("created"),
                                                         {},
                                                         {}});
        plan.projects.push_back(std::move(project));
    }
    return plan;
}
