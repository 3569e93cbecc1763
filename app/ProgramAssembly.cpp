#include "app/ProgramAssembly.h"

#include "app/RunLog.h"
#include "app/RunState.h"
#include "common/Failure.h"

void createGenTab(RunState &state, RunLog &log)
{
    state.GenTab = std::make_unique<TCodeTab>(QStringLiteral("Generated Code"));
    state.GenTab->Clear();
    log.LogLine(QStringLiteral("Generate code"));
}

TCodeTab *AssembleGeneratedProgram(RunState &, RunLog &, const Worksheet &, const QString &,
                                   const QDomElement &)
{
    throw Failure(QStringLiteral("program assembly is not built yet"));
}
