#pragma once

#include "run/ChangePlan.h"
#include "run/WorkbookChooser.h"

#include <vector>

class GenerationRun;
class RunLog;
class TK5DB;
struct BuildSettings;
struct RunState;

// Plans the generation runs of the chosen workbooks: each run goes as a build would, up to and
// through the project build, but against private copies of the projects and with the files
// recorded, so nothing is written; a later run sees an earlier run's changes, as in a build.
// Stops at the first run that fails. The run's project updater is replaced.
ChangePlan planGeneration(GenerationRun &run, RunState &state, RunLog &log, TK5DB &db,
                          const BuildSettings &settings,
                          const std::vector<WorkbookChooser> &workbooks);
