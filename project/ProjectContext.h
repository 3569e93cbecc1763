#pragma once

#include "project/BuildSettings.h"

#include <QString>

class PlannedBuild;
class ProjectFileBatch;
class ProjectFiles;
class RunLog;
class TK5DB;
struct TemplateModel;
struct TXmlGeneratorOptions;

// The part of a run's state that a project build reads and updates. Its members refer to the
// run's own fields, so the build reads what the run holds and its changes (the project folder
// of a multi-task workspace, the recreation count) are the run's.
struct ProjectRunState {
    QString &ProjectName;          // the project folder; becomes MainTask in a workspace
    QString &BenchoraProjectList;  // what the workbench opens
    const TemplateModel &Template; // function blocks, defines, project options
    const TXmlGeneratorOptions &XmlGeneratorOptions;
    int &RecreatingVarCount;
};

// What the steps of a project build share: the run's state (template lists, options, counts),
// the run log, the project database and the stored options.
struct ProjectContext {
    ProjectRunState state;
    RunLog &log;
    TK5DB &db;
    BuildSettings settings;
    // When set, program sources are collected here and written together by the caller;
    // otherwise each is written at once.
    ProjectFileBatch *sources = nullptr;
    // The files the build writes itself; null: the project folder on disk.
    ProjectFiles *files = nullptr;
    // Set when the build is only planned: the project database works on a private copy of
    // the project, and files are recorded instead of written.
    PlannedBuild *plan = nullptr;

    ProjectFiles &projectFiles() const;
};
