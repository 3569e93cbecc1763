#include "run/GenerationCommands.h"

#include "run/RunState.h"

GenerationOutcome GenerationCommands::BtnGenerateClick()
{
    GenerationOutcome outcome;
    outcome.generated = generateAll();
    if (outcome.generated)
        outcome.compiled = m_steps.CompileProject();
    if (outcome.compiled && Download)
        outcome.download = m_steps.DownloadProject();
    // Only a cancel by the last run's start-up macro keeps the workbench from starting.
    if (m_state.bStartStraton && StartStraton)
        outcome.workbenchStarted = m_steps.StartWorkbench(m_state.BenchoraProjectList);
    return outcome;
}

bool GenerationCommands::generateAll()
{
    if (!m_steps.GenerateFromWorkbook(cbExcelSheet, false))
        return false;
    if (!XtraSheetsVisible)
        return true;
    for (const WorkbookChooser *chooser : {&cbExcelSheet2, &cbExcelSheet3, &cbExcelSheet4}) {
        if (chooser->selectedIndex > 0 && !m_steps.GenerateFromWorkbook(*chooser, true))
            return false;
    }
    return true;
}
