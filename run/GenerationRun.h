#pragma once

#include <QDomDocument>
#include <QString>
#include <functional>
#include <memory>

class PlaceholderSubstitution;
class RunLog;
class SignalLineExpansion;
class TCodeTab;
class TemplateParser;
class TInsertUserVar;
class WorkbookComponent;
class Worksheet;
struct RunState;
struct UserPrompts;
struct WorkbookChooser;

// One generation run: from the chosen workbook and the template it names to the generated
// main program, then the project. Phases run in a fixed order; each catches the failures of
// its own steps at its boundary, logs one line and ends the run.
class GenerationRun {
public:
    // Writes the generated program into the project; its result is the run's result.
    using ProjectUpdater = std::function<bool(TCodeTab &genTab, TCodeTab &mainProgram)>;

    GenerationRun(RunState &state, WorkbookComponent &excel, RunLog &log, UserPrompts &prompts);
    ~GenerationRun();

    // Without an updater the run stops after the generated program has been assembled, as a
    // dry run does, and succeeds when it got there.
    void setProjectUpdater(ProjectUpdater updater) { m_updateProject = std::move(updater); }
    // The caption of message boxes the run shows.
    void setApplicationTitle(const QString &title) { m_title = title; }

    bool GenerateFromWorkbook(const WorkbookChooser &chooser, bool keepLog);
    void ResetRunState(bool keepLog);

    // Where the run found the template: B2 as read, resolved against the workbook's folder
    // when it is relative.
    const QString &templateFile() const { return m_templateFile; }
    // The full path of the workbook the run chose; empty before one was chosen.
    const QString &workbookPath() const { return m_workbookPath; }

private:
    struct Chosen;

    bool chooseWorkbook(const WorkbookChooser &chooser, Chosen &chosen);
    bool chooseByPath(const QString &path, Chosen &chosen);
    bool chooseActive(Chosen &chosen);
    QString resolveTemplatePath(const Chosen &chosen) const;
    bool runChosenWorkbook(const Chosen &chosen);
    bool runStartupMacro();
    bool parseTemplate(const QString &path);
    bool readSignalSheet();
    TCodeTab *assembleProgram(const QString &templatePath);
    bool updateProject(TCodeTab &mainProgram, qint64 startedMs);
    void runCompletionMacros();

    RunState &m_state;
    WorkbookComponent &m_excel;
    RunLog &m_log;
    UserPrompts &m_prompts;
    ProjectUpdater m_updateProject;
    QString m_title = QStringLiteral("Tessily");
    QString m_templateFile;
    std::shared_ptr<Worksheet> m_mainSheet;
    QDomDocument m_document;
    QDomElement m_body;
    QString m_workbookName;
    QString m_workbookPath;
    // The user-input reader lives as long as the run object: it keeps the worksheet it last
    // connected to. The others work on the state and are made once.
    std::unique_ptr<TInsertUserVar> m_insertUserVar;
    std::unique_ptr<PlaceholderSubstitution> m_substitution;
    std::unique_ptr<TemplateParser> m_parser;
    std::unique_ptr<SignalLineExpansion> m_expansion;
};
