#pragma once

#include <QDomElement>
#include <QString>

class RunLog;
class TCodeTab;
class Worksheet;
struct RunState;

// Builds the generated main program GenTab: the header, the main program the workbook
// names, every signal line expanded, every code section inserted at its marker, user inputs
// replaced, the needed function blocks collected. Returns the main program's descriptor, or
// null when the workbook's main program type is not in the template.
//
// createGenTab() is the first step and runs outside the run's failure boundary; the rest
// may throw Failure.
void createGenTab(RunState &state, RunLog &log);
TCodeTab *AssembleGeneratedProgram(RunState &state, RunLog &log, const Worksheet &mainSheet,
                                   const QString &templatePath, const QDomElement &functionBlocks);
