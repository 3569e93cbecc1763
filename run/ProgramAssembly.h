#pragma once

#include <QString>

class PlaceholderSubstitution;
class RunLog;
class SignalLineExpansion;
class TCodeTab;
class Worksheet;
struct RunState;

// What the assembly works with: the run's state and log, sheet 1 of the chosen workbook,
// and the run's placeholder substitution and signal line expansion.
struct AssemblyContext {
    RunState &state;
    RunLog &log;
    const Worksheet &mainSheet;
    PlaceholderSubstitution &substitution;
    SignalLineExpansion &expansion;
};

// The first step of the assembly, outside the run's failure boundary: a new, empty GenTab
// and the line "Generate code".
void createGenTab(RunState &state, RunLog &log);

// Builds the generated main program GenTab: the header, the main program the workbook
// names, every signal line expanded, every code section inserted at its marker, blank
// declarations dropped, user inputs replaced, the needed function blocks collected. Returns
// the main program's descriptor, or null when the workbook's main program type is not in the
// template. May throw Failure.
TCodeTab *AssembleGeneratedProgram(const AssemblyContext &context, const QString &templatePath);

// The first line of the generated main program: this text, then the time of the run.
QString generatedAtPrefix();
