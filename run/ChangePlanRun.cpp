#include "run/ChangePlanRun.h"

#include "common/Failure.h"
#include "common/RunLog.h"
#include "project/PlannedBuild.h"
#include "run/ChangePlanBuilder.h"
#include "run/GenerationRun.h"
#include "run/ProjectUpdate.h"

ChangePlan planGeneration(GenerationRun &run, RunState &state, RunLog &log, TK5DB &db,
                          const BuildSettings &settings,
                          const std::vector<WorkbookChooser> &workbooks)
{
    PlannedBuild build(db);
    QHash<QString, PlanNotes> notes;
    run.setProjectUpdater(makePlanUpdater(run, state, log, db, settings, build, notes));
    bool ok = !workbooks.empty();
    for (std::size_t i = 0; i < workbooks.size() && ok; ++i)
        ok = run.GenerateFromWorkbook(workbooks[i], i > 0);
    run.setProjectUpdater({});
    try {
        build.finish();
    } catch (const Failure &e) {
        log.LogError(QStringLiteral("Planning error:") + e.message());
        ok = false;
    }
    return buildChangePlan(build, notes, ok);
}
