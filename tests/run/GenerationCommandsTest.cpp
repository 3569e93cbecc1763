#include "run/GenerationCommands.h"

#include "common/RunLog.h"
#include "run/GenerationRun.h"
#include "run/RunState.h"
#include "support/FakeWorkbook.h"
#include "support/LogTexts.h"
#include "support/RecordingPrompts.h"

#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

// The command over scripted steps: each step records itself; runs fail for the workbooks
// listed in `failing`.
struct ScriptedCommand {
    RunState state;
    QStringList calls;
    QStringList failing;
    bool compiles = true;
    GenerationCommands command{state, steps()};

    GenerationSteps steps()
    {
        return {
            [this](const WorkbookChooser &c, bool keepLog) {
                const QString name = c.selectedIndex >= 0 && c.selectedIndex < c.entries.size()
                                         ? c.entries[c.selectedIndex]
                                         : QStringLiteral("(none)");
                calls << QStringLiteral("run %1%2").arg(name, keepLog ? " keep" : "");
                return !failing.contains(name);
            },
            [this] {
                calls << "compile";
                return compiles;
            },
            [this] {
                calls << "download";
                return 1;
            },
            [this](const QString &project) {
                calls << "workbench " + project;
                return true;
            },
        };
    }
    ScriptedCommand()
    {
        state.bStartStraton = true;
        state.BenchoraProjectList = "/p/Plant";
        command.cbExcelSheet = WorkbookChooser::forPath("main.xlsx");
        command.cbExcelSheet2 = WorkbookChooser::forPath("two.xlsx");
        command.cbExcelSheet3 = WorkbookChooser::forPath("three.xlsx");
        command.cbExcelSheet4 = WorkbookChooser::forPath("four.xlsx");
    }
};

} // namespace

TEST(GenerateCommand, RunsTheChosenWorkbooksThenCompilesDownloadsAndStarts)
{
    struct Case {
        const char *what;
        bool extraVisible;
        int thirdIndex;
        QStringList failing;
        bool compiles;
        bool download, start;
        QStringList calls;
    };
    const Case cases[] = {
        {"extra panel hidden",
         false,
         1,
         {},
         true,
         true,
         true,
         {"run main.xlsx", "compile", "download", "workbench /p/Plant"}},
        {"third chooser on the active-sheet entry is skipped",
         true,
         0,
         {},
         true,
         true,
         true,
         {"run main.xlsx", "run two.xlsx keep", "run four.xlsx keep", "compile", "download",
          "workbench /p/Plant"}},
        {"third chooser without selection is skipped",
         true,
         -1,
         {},
         true,
         false,
         false,
         {"run main.xlsx", "run two.xlsx keep", "run four.xlsx keep", "compile"}},
        {"second workbook fails",
         true,
         1,
         {"two.xlsx"},
         true,
         true,
         true,
         {"run main.xlsx", "run two.xlsx keep", "workbench /p/Plant"}},
        {"compilation fails",
         false,
         1,
         {},
         false,
         true,
         true,
         {"run main.xlsx", "compile", "workbench /p/Plant"}},
        {"both follow-ups off", false, 1, {}, true, false, false, {"run main.xlsx", "compile"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedCommand s;
        s.command.XtraSheetsVisible = c.extraVisible;
        s.command.cbExcelSheet3.selectedIndex = c.thirdIndex;
        s.failing = c.failing;
        s.compiles = c.compiles;
        s.command.Download = c.download;
        s.command.StartStraton = c.start;
        s.command.BtnGenerateClick();
        EXPECT_EQ(s.calls, c.calls);
    }
}

TEST(GenerateCommand, ReportsHowFarItGot)
{
    ScriptedCommand s;
    GenerationOutcome outcome = s.command.BtnGenerateClick();
    EXPECT_TRUE(outcome.generated && outcome.compiled && outcome.workbenchStarted);
    EXPECT_EQ(outcome.download, 1);
    s.failing = QStringList{"main.xlsx"};
    outcome = s.command.BtnGenerateClick();
    EXPECT_FALSE(outcome.generated || outcome.compiled);
    EXPECT_EQ(outcome.download, 0);
}

TEST(GenerateCommand, AStartUpMacroCancelStopsEverythingAndTheWorkbench)
{
    QTemporaryDir dir;
    FakeWorkbooks excel;
    auto &book = excel.addBook(dir.path(), "plant.xlsx");
    FakeWorkbooks::addSheet(book, "Settings")->set(2, 2, "plant.xml");
    book.macros["OnWorkbookInitiate"] = [](const QString &) { return QVariant(0); };
    excel.activate(book);
    RunState state;
    RunLog log;
    RecordingPrompts prompts;
    GenerationRun run(state, excel, log, prompts);
    QStringList calls;
    GenerationCommands command(state, {[&](const WorkbookChooser &c, bool keep) {
                                           return run.GenerateFromWorkbook(c, keep);
                                       },
                                       [&] {
                                           calls << "compile";
                                           return true;
                                       },
                                       [&] {
                                           calls << "download";
                                           return 1;
                                       },
                                       [&](const QString &) {
                                           calls << "workbench";
                                           return true;
                                       }});
    command.XtraSheetsVisible = true;
    command.cbExcelSheet2 = WorkbookChooser::forPath(dir.filePath("other.xlsx"));
    command.BtnGenerateClick(); // the main chooser on "Use active sheet in Excel"
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(logTexts(log).last(),
              "Code Generation canceled by VbScript Macro: OnWorkbookInitiate=0");
    EXPECT_FALSE(excel.calls.contains("Open " + dir.filePath("other.xlsx")));
}
