#pragma once

#include "run/GenerationRun.h"

struct BuildSettings;
class TK5DB;

// The project step of a generation run: the project folder the workbook names is taken from
// the workbook's folder when relative, then the project is written through `db`.
GenerationRun::ProjectUpdater makeProjectUpdater(const GenerationRun &run, RunState &state,
                                                 RunLog &log, TK5DB &db,
                                                 const BuildSettings &settings);
