#include "run/ProjectUpdate.h"

#include "common/RunLog.h"
#include "project/PlannedBuild.h"
#include "project/ProjectBuild.h"
#include "project/ProjectContext.h"
#include "project/ProjectPath.h"
#include "project/TK5DB.h"
#include "run/RunState.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace {

// Absolute: a workbook named without its folder (a command run in that folder) would give a
// project folder without one, which the multi-task workspace cannot be made beside.
QString workbookFolderOf(const GenerationRun &run)
{
    return run.workbookPath().isEmpty() ? QString() : QFileInfo(run.workbookPath()).absolutePath();
}

// A log line without its time stamp "hh:mm:ss.zzz" and the two blanks after it.
constexpr qsizetype kTimeStampLength = 14;

// The name between a fixed head and tail of a log line, or empty.
QString nameBetween(const QString &text, QStringView head, QStringView tail)
{
    if (!text.startsWith(head) || !text.endsWith(tail) || text.size() < head.size() + tail.size())
        return QString();
    return text.mid(head.size(), text.size() - head.size() - tail.size());
}

// Notes the groups and programs the build found locked by another client, from the build's
// own messages.
void noteLock(const QString &line, PlanNotes &notes)
{
    const QString text = line.mid(kTimeStampLength);
    if (const QString group =
            nameBetween(text, u"Unable to lock variable group (", u"), variables not created");
        !group.isEmpty() && !notes.lockedGroups.contains(group, Qt::CaseInsensitive))
        notes.lockedGroups << group;
    if (const QString program = nameBetween(text, u"Not lock program: ", u", program not saved");
        !program.isEmpty() && !notes.lockedPrograms.contains(program, Qt::CaseInsensitive))
        notes.lockedPrograms << program;
}

void noteTemplate(const RunState &state, const TCodeTab &genTab, const TCodeTab &mainProgram,
                  PlanNotes &notes)
{
    for (const auto &block : state.Template.FuncBlocks) {
        if (genTab.IncludeFB.contains(block.value->name, Qt::CaseInsensitive))
            notes.programs.insert(block.value->StratonInfo.FileName.toLower(),
                                  block.value->StratonInfo.Overwrite);
    }
    notes.programs.insert(genTab.StratonInfo.FileName.toLower(), genTab.StratonInfo.Overwrite);
    const QString folder = folderWithSeparator(state.ProjectName);
    for (const auto &entry : mainProgram.TextFiles.entries()) {
        if (!notes.textFiles.contains(folder + entry.name))
            notes.textFiles << folder + entry.name;
    }
}

} // namespace

GenerationRun::ProjectUpdater makeProjectUpdater(const GenerationRun &run, RunState &state,
                                                 RunLog &log, TK5DB &db,
                                                 const BuildSettings &settings)
{
    return [&run, &state, &log, &db, settings](TCodeTab &genTab, TCodeTab &mainProgram) {
        state.ProjectName = pathFromWorkbook(state.ProjectName, workbookFolderOf(run));
        ProjectContext context{projectRunState(state), log, db, settings};
        return UpdateStratonProject(context, genTab, mainProgram);
    };
}

GenerationRun::ProjectUpdater makePlanUpdater(const GenerationRun &run, RunState &state,
                                              RunLog &log, TK5DB &db, const BuildSettings &settings,
                                              PlannedBuild &plan, QHash<QString, PlanNotes> &notes)
{
    return [&run, &state, &log, &db, settings, &plan, &notes](TCodeTab &genTab,
                                                              TCodeTab &mainProgram) {
        state.ProjectName = pathFromWorkbook(state.ProjectName, workbookFolderOf(run));
        if (db.Result && !db.K5DB_OpenProjectCopy) {
            log.LogError(QStringLiteral("The project database cannot copy a project: no plan"));
            return false;
        }
        ProjectContext context{projectRunState(state), log, db, settings};
        context.files = &plan.files();
        context.plan = &plan;
        PlanNotes seen;
        const auto watch = QObject::connect(&log, &RunLog::lineAdded,
                                            [&seen](const QString &line) { noteLock(line, seen); });
        const auto unwatch = qScopeGuard([&watch] { QObject::disconnect(watch); });
        const bool ok = UpdateStratonProject(context, genTab, mainProgram);
        PlanNotes &n = notes[planNotesKey(state.ProjectName)];
        n.lockedGroups << seen.lockedGroups;
        n.lockedPrograms << seen.lockedPrograms;
        noteTemplate(state, genTab, mainProgram, n);
        return ok;
    };
}
