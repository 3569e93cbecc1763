#pragma once

#include "run/GenerationRun.h"

#include "run/ChangePlanBuilder.h"

#include <QHash>

struct BuildSettings;
class PlannedBuild;
class TK5DB;

// The project step of a generation run: the project folder the workbook names is taken from
// the workbook's folder when relative, then the project is written through `db`.
GenerationRun::ProjectUpdater makeProjectUpdater(const GenerationRun &run, RunState &state,
                                                 RunLog &log, TK5DB &db,
                                                 const BuildSettings &settings);

// The same step for a plan: the build runs against `plan`'s copies and recorded files, and
// what the plan needs beside them (the template's programs and text files, the locks that
// kept the build out) is noted in `notes`, keyed by planNotesKey of the project folder.
GenerationRun::ProjectUpdater makePlanUpdater(const GenerationRun &run, RunState &state,
                                              RunLog &log, TK5DB &db, const BuildSettings &settings,
                                              PlannedBuild &plan, QHash<QString, PlanNotes> &notes);
