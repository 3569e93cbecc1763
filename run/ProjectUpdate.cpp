#include "run/ProjectUpdate.h"

#include "project/ProjectBuild.h"
#include "project/ProjectContext.h"
#include "project/ProjectPath.h"
#include "run/RunState.h"

#include <QFileInfo>

GenerationRun::ProjectUpdater makeProjectUpdater(const GenerationRun &run, RunState &state,
                                                 RunLog &log, TK5DB &db,
                                                 const BuildSettings &settings)
{
    return [&run, &state, &log, &db, settings](TCodeTab &genTab, TCodeTab &mainProgram) {
        const QString workbookFolder =
            run.workbookPath().isEmpty() ? QString() : QFileInfo(run.workbookPath()).path();
        state.ProjectName = pathFromWorkbook(state.ProjectName, workbookFolder);
        ProjectContext context{projectRunState(state), log, db, settings};
        return UpdateStratonProject(context, genTab, mainProgram);
    };
}
