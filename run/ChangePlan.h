#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// What a build would do to its projects, item by item: the difference between each project
// before and after a planned build (PlannedBuild), with what the build chose not to touch.
struct PlanField {
    QString name; // "type", "dimension", "direction", "string length", "initial value", "tag",
                  // "description", "profile", "properties"
    QString before, after;
};

struct VariableChange {
    QString name;
    QString action;                // "added", "removed", "updated", "recreated", "marked"
    std::vector<PlanField> fields; // for "added": the new variable's fields that are set
};

struct GroupPlan {
    QString name;
    bool skipped = false;   // another client holds its lock: the build leaves it as it is
    bool reordered = false; // variables that stay change their order
    int unchanged = 0;
    std::vector<VariableChange> variables;
};

struct ProgramChange {
    QString name;
    QString folder;
    // "created", "replaced", "unchanged", "kept" (an existing program the template does not
    // overwrite), "deleted", "skipped" (locked by another client)
    QString action;
    QStringList details;
    QStringList diff; // of the source, for "replaced"
};

struct FolderChange {
    QString path;
    QString action; // "created", "deleted"
};

struct OptionChange {
    QString key;
    QString action; // "unchanged", "changed", "appended"
    QString before, after;
};

struct FileChange {
    QString name;   // relative to the project folder
    QString kind;   // "defines" (appli.EQV), "options" (appli.CPO), "export" (appli.xml),
                    // "project" (appli.k5p), "text"
    QString action; // "created", "changed", "unchanged", "left", "deleted", "regenerated"
    QStringList diff;
    std::vector<OptionChange> options;
};

struct ProjectPlan {
    QString folder;
    bool created = false; // no project there yet
    QString workspace;    // "unpacked", "reused" or empty (no multi-task workspace)
    std::vector<FolderChange> folders;
    std::vector<ProgramChange> programs;
    std::vector<GroupPlan> groups;
    std::vector<FileChange> files;
    // The files an unpacked workspace makes outside its main task, relative to the workspace
    // folder (the other tasks, the library, the workspace files).
    std::vector<FileChange> workspaceFiles;
};

struct PlanSummary {
    int programsCreated = 0, programsReplaced = 0, programsDeleted = 0, programsUnchanged = 0,
        programsKept = 0, programsSkipped = 0;
    int variablesAdded = 0, variablesRemoved = 0, variablesUpdated = 0, variablesRecreated = 0,
        variablesMarked = 0, groupsSkipped = 0;
    int foldersCreated = 0, foldersDeleted = 0;
    int filesCreated = 0, filesChanged = 0, filesUnchanged = 0, filesLeft = 0;
};

struct ChangePlan {
    bool ok = false; // every run and the plan itself succeeded
    std::vector<ProjectPlan> projects;

    PlanSummary summary() const;
    bool hasChanges() const;
};
