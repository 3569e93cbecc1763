#include "run/GenerationRun.h"

#include "common/Failure.h"
#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "expand/PlaceholderSubstitution.h"
#include "expand/SignalLineExpansion.h"
#include "project/ProjectPath.h"
#include "run/ProgramAssembly.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "template/SignalTypesParser.h"
#include "template/TInsertUserVar.h"
#include "template/TemplateDocument.h"
#include "template/TemplateParser.h"
#include "workbook/SignalSheetReader.h"
#include "workbook/WorkbookComponent.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

struct GenerationRun::Chosen {
    QString name;         // the workbook's file name
    QString path;         // its full path
    QString templatePath; // B2 as read
};

namespace {

// A folder as compared when reusing an open workbook: upper case, one trailing separator.
QString comparableFolder(const QString &folder)
{
    QString f = QDir::cleanPath(folder).toUpper();
    if (!f.endsWith(u'/'))
        f += u'/';
    return f;
}

QString readB2(const Worksheet &sheet)
{
    return cellText(sheet.Cell(2, 2));
}

} // namespace

GenerationRun::GenerationRun(RunState &state, WorkbookComponent &excel, RunLog &log,
                             UserPrompts &prompts)
    : m_state(state), m_excel(excel), m_log(log), m_prompts(prompts),
      m_insertUserVar(std::make_unique<TInsertUserVar>(&excel, state.SignalSheet, log)),
      m_substitution(std::make_unique<PlaceholderSubstitution>(*m_insertUserVar, log))
{
    m_parser = std::make_unique<TemplateParser>(
        state.Template, log, prompts, [this](int row, QString &text, UserInputList &list) {
            m_substitution->ReplaceUserVariables(row, text, list);
        });
    SignalLineExpansion::TemplateOps ops;
    ops.GetCodeSection = [this](const QString &name) {
        return GetCodeSection(m_state.Template, name);
    };
    ops.CreateFunctionBlockFromTemplate =
        [this](const QString &templateName, const QString &block, const QString &variant,
               const SignalLineExpansion::TemplateCallback &callback) {
            return m_parser->CreateFunctionBlockFromTemplate(
                m_body.firstChildElement(QStringLiteral("FunctionBlocks")), templateName, block,
                variant, callback);
        };
    m_expansion = std::make_unique<SignalLineExpansion>(
        state.Template, state.SignalSheet, *m_substitution, state.TemplatesCreated,
        state.Template.TemplateCodeInsert, std::move(ops), log);
}

GenerationRun::~GenerationRun() = default;

void GenerationRun::ResetRunState(bool keepLog)
{
    RunState &s = m_state;
    s.RecreatingVarCount = 0;
    s.GenTab.reset();
    s.MainProgram = nullptr;
    s.Template = TemplateModel();
    if (!keepLog)
        m_log.clear();
    s.SignalSheet.lines.clear();
    m_insertUserVar->reset();
}

bool GenerationRun::chooseByPath(const QString &path, Chosen &chosen)
{
    const QFileInfo info(path);
    chosen.name = info.fileName();
    chosen.path = path;
    try {
        m_excel.Activate(chosen.name);
        m_mainSheet = m_excel.Sheet(1);
        chosen.templatePath = readB2(*m_mainSheet);
        if (comparableFolder(m_excel.ActiveWorkbookPath()) == comparableFolder(info.absolutePath()))
            return true;
    } catch (const Failure &) {
        // not open, or unreadable: open it from its path below
    }
    try {
        m_excel.Open(path);
        m_mainSheet = m_excel.Sheet(1);
        chosen.templatePath = readB2(*m_mainSheet);
        return true;
    } catch (const Failure &e) {
        m_prompts.message(m_title, e.message());
        m_log.LogError(QStringLiteral("Not able to open selected Excel WorkBook"));
        return false;
    }
}

bool GenerationRun::chooseActive(Chosen &chosen)
{
    try {
        chosen.name = m_excel.ActiveWorkbookName();
        chosen.path = m_excel.ActiveWorkbookPath() + u'/' + chosen.name;
    } catch (const Failure &) {
        m_log.LogError(QStringLiteral("Not able to connect to active Excel WorkBook"));
        return false;
    }
    try {
        m_mainSheet = m_excel.Sheet(1);
        chosen.templatePath = readB2(*m_mainSheet);
    } catch (const Failure &) {
        m_log.LogError(QStringLiteral("Not able to connect to the active Excel Sheet"));
        return false;
    }
    return true;
}

bool GenerationRun::chooseWorkbook(const WorkbookChooser &chooser, Chosen &chosen)
{
    const int index = chooser.selectedIndex;
    if (index > 0 && index < chooser.entries.size())
        return chooseByPath(chooser.entries[index], chosen);
    return chooseActive(chosen);
}

bool GenerationRun::runStartupMacro()
{
    std::uint32_t n = 0;
    try {
        n = static_cast<std::uint32_t>(
            macroResultToInt(m_excel.Run(QStringLiteral("OnWorkbookInitiate"))));
    } catch (const Failure &) {
        return true; // no such macro, or it failed: the run goes on silently
    }
    if (n == 0) {
        m_state.bStartStraton = false;
        m_log.LogLine(
            QStringLiteral("Code Generation canceled by VbScript Macro: OnWorkbookInitiate=") +
            QString::number(n));
        return false;
    }
    m_log.LogLine(QStringLiteral("Run Macro : OnWorkbookInitiate=") + QString::number(n));
    return true;
}

bool GenerationRun::parseTemplate(const QString &path)
{
    try {
        m_document = LoadTemplateDocument(path);
        m_body = m_document.documentElement();
        ReadVersionInfo(m_body.firstChildElement(QStringLiteral("VersionInfo")),
                        m_state.XmlVersionInfo);
        if (!m_state.XmlVersionInfo.Version.isEmpty() &&
            !CheckVersion(m_excel, m_state.XmlVersionInfo, m_log))
            return false;
        ReadGeneratorOptions(m_mainSheet.get(),
                             m_body.firstChildElement(QStringLiteral("GeneratorOptions")),
                             m_state.XmlGeneratorOptions);
        m_log.LogLine(QStringLiteral("Keep vars = ") +
                      (m_state.XmlGeneratorOptions.KeepGeneratedVars ? u'1' : u'0'));
        m_parser->ParseProgramSections(m_body);
        ParseSignalTypes(m_body.firstChildElement(QStringLiteral("SignalTypes")), m_state.Template,
                         m_state.SignalSheet, m_log, m_prompts);
        BuildColumnMap(m_state.Template, m_state.SignalSheet);
        return true;
    } catch (const Failure &e) {
        m_log.LogError(QStringLiteral("XML parsing error:") + e.message());
        return false;
    }
}

bool GenerationRun::readSignalSheet()
{
    m_log.LogLine(QStringLiteral("Reading Excel sheet"));
    try {
        SignalSheetState &sheet = m_state.SignalSheet;
        ReadSignalSheet(m_excel, sheet.readerLayout(), signalColumnCheck(m_state.Template),
                        sheet.lines, m_log);
        return true;
    } catch (const Failure &e) {
        m_log.LogError(QStringLiteral("Exel Sheet parsing error:") + e.message());
        return false;
    }
}

TCodeTab *GenerationRun::assembleProgram(const QString &templatePath)
{
    createGenTab(m_state, m_log);
    try {
        return AssembleGeneratedProgram(
            {m_state, m_log, *m_mainSheet, *m_substitution, *m_expansion}, templatePath);
    } catch (const Failure &e) {
        m_log.LogError(QStringLiteral("Code generation error:") + e.message());
        return nullptr;
    }
}

void GenerationRun::runCompletionMacros()
{
    const QString argument = QStringLiteral("MTASK=") +
                             (m_state.XmlGeneratorOptions.GenerateMultiTaskApp ? u'1' : u'0') +
                             u';';
    try {
        m_excel.Run(QStringLiteral("OnGeneratedEx"), argument);
        m_log.LogLine(QStringLiteral("Run Macro : OnGeneratedEx(") + argument + u')');
        return;
    } catch (const Failure &) {
        // no OnGeneratedEx: try the older macro
    }
    try {
        m_excel.Run(QStringLiteral("OnGenerated"));
        m_log.LogLine(QStringLiteral("Run Macro : OnGenerated"));
    } catch (const Failure &) {
    }
}

bool GenerationRun::updateProject(TCodeTab &mainProgram, qint64 startedMs)
{
    const qint64 seconds = (QDateTime::currentMSecsSinceEpoch() - startedMs) / 1000;
    m_log.LogLine(QString::asprintf("Code generation finished (%d sec)", int(seconds)));
    if (!m_updateProject)
        return true;
    // The workbook is read: the project step has the memory its cells took (a large
    // workbook's sheet is the largest thing a run holds besides the generated program).
    m_excel.ForgetCells();
    bool result = false;
    try {
        m_log.LogLine(QStringLiteral("Finished code generation, creating STRATON project"));
        result = m_updateProject(*m_state.GenTab, mainProgram);
        m_log.LogLine(QStringLiteral("Finished STRATON project generation"));
        m_log.LogLine(QStringLiteral("EXCEL Workbook : ") + m_workbookName);
        runCompletionMacros();
    } catch (const Failure &e) {
        m_log.LogError(QStringLiteral("STRATON project update error:") + e.message());
    }
    return result;
}

QString GenerationRun::resolveTemplatePath(const Chosen &chosen) const
{
    return pathFromWorkbook(chosen.templatePath, QFileInfo(chosen.path).path());
}

bool GenerationRun::runChosenWorkbook(const Chosen &chosen)
{
    m_log.LogLine(QStringLiteral("EXCEL Workbook : ") + chosen.name);
    if (!runStartupMacro())
        return false;
    m_templateFile = resolveTemplatePath(chosen);
    if (!QFileInfo(m_templateFile).isFile()) {
        m_log.LogError(QString::asprintf("XML file in sheet%d.cell(1,B) not found: %s", 1,
                                         qUtf8Printable(chosen.templatePath)));
        return false;
    }
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    m_log.LogLine(QStringLiteral("Code generation started, XML parsing"));
    if (!parseTemplate(m_templateFile) || !readSignalSheet())
        return false;
    TCodeTab *mainProgram = assembleProgram(chosen.templatePath);
    m_state.MainProgram = mainProgram;
    return mainProgram && updateProject(*mainProgram, started);
}

bool GenerationRun::GenerateFromWorkbook(const WorkbookChooser &chooser, bool keepLog)
{
    m_state.bStartStraton = true;
    m_state.Template.TemplateCodeInsert.clear();
    m_state.SignalSheet.VarFromExcel.CurrentRow = -1;
    m_templateFile.clear();
    m_workbookPath.clear();
    m_mainSheet.reset();
    ResetRunState(keepLog);
    m_log.LogLine(QStringLiteral("Attaching to EXCEL"));
    try {
        m_excel.Attach();
    } catch (const Failure &e) {
        m_log.LogError(e.message());
        return false;
    }
    Chosen chosen;
    if (!chooseWorkbook(chooser, chosen))
        return false;
    m_workbookName = chosen.name;
    m_workbookPath = chosen.path;
    const bool result = runChosenWorkbook(chosen);
    try {
        m_excel.Detach();
    } catch (const Failure &) {
        // the workbooks stay open in the application either way
    }
    m_state.TemplatesCreated.clear();
    m_document = QDomDocument();
    m_body = QDomElement();
    return result;
}
