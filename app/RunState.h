#pragma once

#include "template/TCodeTab.h"
#include "template/TemplateModel.h"
#include "workbook/GeneratorOptions.h"
#include "workbook/SignalSheetReader.h"
#include "workbook/VersionInfo.h"

#include <QStringList>
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
    bool bStartStraton = false;

    TVersionInfo XmlVersionInfo;
    TXmlGeneratorOptions XmlGeneratorOptions;

    SignalSheetLayout SignalSheet; // not reset between runs
    QStringList SignalLines;       // line k holds sheet row k, as comma text

    int RecreatingVarCount = 0;
};
