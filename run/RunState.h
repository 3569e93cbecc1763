#pragma once

#include "expand/SignalLineExpansion.h"
#include "project/ProjectContext.h"
#include "template/SignalSheetState.h"
#include "template/TCodeTab.h"
#include "template/TemplateModel.h"
#include "workbook/GeneratorOptions.h"
#include "workbook/VersionInfo.h"

#include <memory>

// The state of a generation run: what the template and the workbook gave, and what the run
// built. The window owns one (its template view shows it after each run), so does the
// command line. The reset at the start of the next run empties it; the signal sheet layout
// carries over from run to run.
struct RunState {
    TemplateModel Template;
    std::unique_ptr<TCodeTab> GenTab; // the generated main program; replaced by each run
    TCodeTab *MainProgram = nullptr;  // the template's main program the workbook chose

    QString ProjectName; // B3 of the last run
    QString IpAddress;   // B4 of the last run
    // What the workbench opens: the project folder, or the workspace file of a multi-task
    // application; empty when the workspace could not be made.
    QString BenchoraProjectList;
    bool bStartStraton = false;

    TVersionInfo XmlVersionInfo;
    TXmlGeneratorOptions XmlGeneratorOptions;

    SignalSheetState SignalSheet; // the signal lines; its layout is not reset between runs

    // Function blocks made from templates during one run; empty between runs.
    TemplateInfoTable TemplatesCreated{NameOrder::Insertion, NameRepeats::Keep};

    int RecreatingVarCount = 0;
};

// The fields a project build reads and updates, as references into the run's state.
inline ProjectRunState projectRunState(RunState &state)
{
    return {state.ProjectName, state.BenchoraProjectList, state.Template, state.XmlGeneratorOptions,
            state.RecreatingVarCount};
}
