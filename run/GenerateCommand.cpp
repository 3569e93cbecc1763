#include "run/GenerateCommand.h"

#include "common/Failure.h"
#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "download/WorkbenchLaunch.h"
#include "project/BuildSettings.h"
#include "project/Compiler.h"
#include "project/TK5DB.h"
#include "run/CommandLineDownload.h"
#include "run/GenerationCommands.h"
#include "run/GenerationDump.h"
#include "run/GenerationRun.h"
#include "run/ProjectUpdate.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "workbook/FileWorkbooks.h"
#include "workbook/OfficeWorkbooks.h"

#include <QSettings>

namespace {

const char *const kUsage =
    "usage: tessily generate [--dry-run] [--dump FILE] [--download] [--workbench] [--office] "
    "[SETTING...] WORKBOOK...\n"
    "  SETTING  --delete-appli-xml, --debug-gen, --embed-symb, --force-vsi, each also with\n"
    "           --no- in front: overrides the stored option for this run\n";
// The window offers one main and three additional workbooks.
constexpr int kMaxWorkbooks = 4;

struct GenerateOptions {
    bool dryRun = false;
    bool workbench = false; // start the workbench afterwards
    bool download = false;  // download to the device after a successful compilation
    bool office = false;    // read the workbooks through LibreOffice and run their macros
    QString dumpPath;
    QStringList workbooks;
    BuildSettings settings;
};

struct SettingFlag {
    const char *name; // the option without "--" or "--no-"
    bool BuildSettings::*field;
};

const SettingFlag kSettingFlags[] = {
    {"delete-appli-xml", &BuildSettings::DeleteAppliXML},
    {"debug-gen", &BuildSettings::DebugGen},
    {"embed-symb", &BuildSettings::EmbedSymb},
    {"force-vsi", &BuildSettings::ForceVSI},
};

// Sets the option an argument names; false when it names none.
bool applySettingFlag(const QString &argument, BuildSettings &settings)
{
    for (const SettingFlag &flag : kSettingFlags) {
        const QString on = QStringLiteral("--") + QLatin1String(flag.name);
        const QString off = QStringLiteral("--no-") + QLatin1String(flag.name);
        if (argument == on || argument == off) {
            settings.*flag.field = argument == on;
            return true;
        }
    }
    return false;
}

// Message boxes of the command line: a line on standard error, kept for the dump.
class StreamPrompts final : public UserPrompts {
public:
    explicit StreamPrompts(QTextStream &err) : m_err(err) {}
    void message(const QString &caption, const QString &text) override
    {
        shown << text;
        m_err << caption << ": " << text << '\n';
        m_err.flush();
    }
    QStringList shown;

private:
    QTextStream &m_err;
};

// Returns an error text, or empty when the arguments are usable.
QString parseArguments(const QStringList &arguments, GenerateOptions &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == u"--dry-run") {
            options.dryRun = true;
        } else if (a == u"--dump") {
            if (++i >= arguments.size())
                return QStringLiteral("--dump needs a file name");
            options.dumpPath = arguments[i];
        } else if (a == u"--download") {
            options.download = true;
        } else if (a == u"--workbench") {
            options.workbench = true;
        } else if (a == u"--office") {
            options.office = true;
        } else if (applySettingFlag(a, options.settings)) {
            continue;
        } else if (a.startsWith(u"--")) {
            return QStringLiteral("unknown option ") + a;
        } else {
            options.workbooks << a;
        }
    }
    if (options.workbooks.isEmpty() && !options.office)
        return QStringLiteral("no workbook given");
    if (options.workbooks.size() > kMaxWorkbooks)
        return QStringLiteral("at most %1 workbooks").arg(kMaxWorkbooks);
    return {};
}

// The Generate command as the window runs it: every workbook, then the compilation, then the
// follow-ups the options ask for. Succeeds when every run and the compilation did.
bool runGenerateSteps(const GenerateOptions &options, GenerationRun &run, RunState &state,
                      RunLog &log, UserPrompts &prompts, QTextStream &out)
{
    QStringList compilerMessages;
    GenerationCommands command(
        state,
        {[&run](const WorkbookChooser &chooser, bool keepLog) {
             return run.GenerateFromWorkbook(chooser, keepLog);
         },
         [&] { return CompileProject(state.ProjectName, log, compilerMessages); },
         [&] { return downloadFromCommandLine(log, state.IpAddress, state.ProjectName, out); },
         [&prompts](const QString &project) { return StartWorkbench(project, prompts); }});
    WorkbookChooser *choosers[] = {&command.cbExcelSheet, &command.cbExcelSheet2,
                                   &command.cbExcelSheet3, &command.cbExcelSheet4};
    // Through LibreOffice without a workbook: the one active in Calc.
    if (options.workbooks.isEmpty())
        command.cbExcelSheet.selectedIndex = 0;
    for (qsizetype i = options.workbooks.isEmpty() ? 1 : 0; i < kMaxWorkbooks; ++i) {
        if (i < options.workbooks.size())
            *choosers[i] = WorkbookChooser::forPath(options.workbooks[i]);
        else
            choosers[i]->selectedIndex = -1;
    }
    command.XtraSheetsVisible = options.workbooks.size() > 1;
    command.Download = options.download;
    command.StartStraton = options.workbench;
    const GenerationOutcome outcome = command.BtnGenerateClick();
    return outcome.generated && outcome.compiled && (!options.download || outcome.download == 1);
}

} // namespace

int runGenerateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    GenerateOptions options;
    options.settings =
        BuildSettings::read(QSettings(settingsOrganization(), settingsApplication()));
    if (const QString problem = parseArguments(arguments, options); !problem.isEmpty()) {
        err << "tessily: " << problem << '\n' << kUsage;
        return 2;
    }
    RunState state;
    std::unique_ptr<WorkbookComponent> excel;
    if (options.office) {
        // LibreOffice missing or not starting is one clear line, not a failed run.
        try {
            excel = std::make_unique<OfficeWorkbooks>();
            excel->Attach();
        } catch (const Failure &e) {
            err << "tessily: " << e.message() << '\n';
            return 1;
        }
    } else {
        excel = std::make_unique<FileWorkbooks>();
    }
    RunLog log;
    StreamPrompts prompts(err);
    QObject::connect(&log, &RunLog::lineAdded, [&out](const QString &line) {
        out << line << '\n';
        out.flush();
    });
    GenerationRun run(state, *excel, log, prompts);
    bool ok = true;
    if (options.dryRun) {
        if (options.workbooks.isEmpty())
            ok = run.GenerateFromWorkbook(WorkbookChooser{}, false);
        for (qsizetype i = 0; i < options.workbooks.size() && ok; ++i)
            ok = run.GenerateFromWorkbook(WorkbookChooser::forPath(options.workbooks[i]), i > 0);
    } else {
        TK5DB db;
        run.setProjectUpdater(makeProjectUpdater(run, state, log, db, options.settings));
        ok = runGenerateSteps(options, run, state, log, prompts, out);
    }
    if (!options.dumpPath.isEmpty()) {
        try {
            writeGenerationDump(options.dumpPath,
                                generationDump(state, {ok, log.lines(), prompts.shown}));
        } catch (const Failure &e) {
            err << "tessily: " << e.message() << '\n';
            return 1;
        }
    }
    return ok ? 0 : 1;
}
