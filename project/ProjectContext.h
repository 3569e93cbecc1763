#pragma once

#include "project/BuildSettings.h"

class ProjectFileBatch;
class RunLog;
class TK5DB;
struct RunState;

// What the steps of a project build share: the run's state (template lists, options, counts),
// the run log, the project database and the stored options.
struct ProjectContext {
    RunState &state;
    RunLog &log;
    TK5DB &db;
    BuildSettings settings;
    // When set, program sources are collected here and written together by the caller;
    // otherwise each is written at once.
    ProjectFileBatch *sources = nullptr;
};
