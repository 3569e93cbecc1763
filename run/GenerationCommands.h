#pragma once

#include "run/WorkbookChooser.h"

#include <QString>
#include <functional>

struct RunState;

// What the Generate command calls, in its order. The window and the command line bind them to
// the generation run, the compiler, the download session and the workbench start.
struct GenerationSteps {
    std::function<bool(const WorkbookChooser &chooser, bool keepLog)> GenerateFromWorkbook;
    std::function<bool()> CompileProject;
    std::function<int()> DownloadProject; // 1 downloaded, 2 closed by the user, 3 failed
    std::function<bool(const QString &project)> StartWorkbench;
};

// How far one Generate command got.
struct GenerationOutcome {
    bool generated = false;        // every workbook's run succeeded
    bool compiled = false;         // the compiler reported success
    int download = 0;              // the download's result; 0 when it was not made
    bool workbenchStarted = false; // the workbench start was asked for and succeeded
};

// The Generate command: the main workbook, then each chosen additional one, then the
// compilation, the download and the workbench start as the settings say.
class GenerationCommands {
public:
    GenerationCommands(RunState &state, GenerationSteps steps)
        : m_state(state), m_steps(std::move(steps))
    {
    }

    WorkbookChooser cbExcelSheet;  // the main workbook
    WorkbookChooser cbExcelSheet2; // the additional ones, used while XtraSheets is visible
    WorkbookChooser cbExcelSheet3;
    WorkbookChooser cbExcelSheet4;
    bool XtraSheetsVisible = false;
    bool Download = true;     // download after a successful compilation
    bool StartStraton = true; // start the workbench afterwards

    GenerationOutcome BtnGenerateClick();

private:
    bool generateAll();

    RunState &m_state;
    GenerationSteps m_steps;
};
