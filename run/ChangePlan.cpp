#include "run/ChangePlan.h"

namespace {

void countProgram(const ProgramChange &p, PlanSummary &s)
{
    struct Counter {
        const char *action;
        int PlanSummary::*count;
    };
    static const Counter kCounters[] = {
        {"created", &PlanSummary::programsCreated}, {"replaced", &PlanSummary::programsReplaced},
        {"deleted", &PlanSummary::programsDeleted}, {"unchanged", &PlanSummary::programsUnchanged},
        {"kept", &PlanSummary::programsKept},       {"skipped", &PlanSummary::programsSkipped},
    };
    for (const Counter &c : kCounters) {
        if (p.action == QLatin1String(c.action))
            ++(s.*c.count);
    }
}

void countVariable(const VariableChange &v, PlanSummary &s)
{
    struct Counter {
        const char *action;
        int PlanSummary::*count;
    };
    static const Counter kCounters[] = {
        {"added", &PlanSummary::variablesAdded},
        {"removed", &PlanSummary::variablesRemoved},
        {"updated", &PlanSummary::variablesUpdated},
        {"recreated", &PlanSummary::variablesRecreated},
        {"marked", &PlanSummary::variablesMarked},
    };
    for (const Counter &c : kCounters) {
        if (v.action == QLatin1String(c.action))
            ++(s.*c.count);
    }
}

void countFile(const FileChange &f, PlanSummary &s)
{
    if (f.action == u"created")
        ++s.filesCreated;
    else if (f.action == u"changed" || f.action == u"deleted")
        ++s.filesChanged;
    else if (f.action == u"left")
        ++s.filesLeft;
    else
        ++s.filesUnchanged;
}

} // namespace

PlanSummary ChangePlan::summary() const
{
    PlanSummary s;
    for (const ProjectPlan &project : projects) {
        for (const FolderChange &f : project.folders)
            ++(f.action == u"created" ? s.foldersCreated : s.foldersDeleted);
        for (const ProgramChange &p : project.programs)
            countProgram(p, s);
        for (const GroupPlan &g : project.groups) {
            s.groupsSkipped += g.skipped ? 1 : 0;
            for (const VariableChange &v : g.variables)
                countVariable(v, s);
        }
        for (const auto *files : {&project.files, &project.workspaceFiles}) {
            for (const FileChange &f : *files)
                countFile(f, s);
        }
    }
    return s;
}

bool ChangePlan::hasChanges() const
{
    for (const ProjectPlan &project : projects) {
        if (project.created || project.workspace == u"unpacked" || !project.folders.empty())
            return true;
        for (const GroupPlan &g : project.groups) {
            if (g.reordered || !g.variables.empty())
                return true;
        }
    }
    const PlanSummary s = summary();
    return s.programsCreated + s.programsReplaced + s.programsDeleted + s.filesCreated +
               s.filesChanged >
           0;
}
