#include "office/OfficeTestSupport.h"

#include "common/Failure.h"
#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "office/VbaProject.h"
#include "run/GenerationRun.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "support/LogTexts.h"
#include "support/QtPrinters.h"
#include "support/XlsxTestBook.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gmock/gmock.h>
#include <thread>

using ::testing::Contains;
using ::testing::Not;

namespace {

const char *const kTemplate = R"(<Plant>
  <MainCode><Main><CODE FileName="Main">start;</CODE></Main></MainCode>
  <SignalTypes>
    <Variables>
      <SignalTypeSheet>2</SignalTypeSheet>
      <SignalTypeStartRow>2</SignalTypeStartRow>
      <SignalTypeColon>1</SignalTypeColon>
      <Tag>2</Tag>
    </Variables>
  </SignalTypes>
</Plant>
)";

// Writes Sheet1.D1 and marks the document modified, as an engineer's macro would.
const char *const kNoteMacro = R"(
Sub Note(text)
    ThisComponent.Sheets(0).getCellRangeByName("D1").String = text
End Sub
)";

struct Prompts final : UserPrompts {
    void message(const QString &, const QString &) override {}
};

// A generation run through LibreOffice on an .ods whose Basic module the test writes. The
// project writer is left out: the run's completion macros still run.
struct MacroRun {
    QTemporaryDir dir;
    OfficeWorkbooks excel;
    int projectsWritten = 0;
    RunState state;
    RunLog log;
    Prompts prompts;
    GenerationRun run{state, excel, log, prompts};
    QString path;

    explicit MacroRun(const QString &basic,
                      OfficeBridgeOptions options = OfficeWorkbooks::defaultOptions())
        : excel(options)
    {
        QFile t(dir.filePath("template.xml"));
        EXPECT_TRUE(t.open(QIODevice::WriteOnly));
        t.write(kTemplate);
        t.close();
        const QByteArray tables = odsTable("Settings", {{"Settings"},
                                                        {"Template", "template.xml"},
                                                        {"Project", "Plant"},
                                                        {"Address", "127.0.0.1"},
                                                        {"Main type", "Main"},
                                                        {"Main name", "Main"}}) +
                                  odsTable("Signals", {{"Type", "Tag"}, {"END"}});
        path = writeMacroOds(dir.filePath("plant.ods"), tables, basic + kNoteMacro);
        run.setProjectUpdater([this](TCodeTab &, TCodeTab &) {
            ++projectsWritten;
            return true;
        });
    }
    bool generate() { return run.GenerateFromWorkbook(WorkbookChooser::forPath(path), false); }
    QStringList texts() const { return logTexts(log); }
    QString d1()
    {
        excel.Open(path);
        return cellText(excel.Sheet(1)->Cell(1, 4));
    }
};

} // namespace

TEST(OfficeMacros, TheStartupMacroCancelsOrLogsItsResult)
{
    const struct {
        const char *body;
        bool generated;
        const char *line;
    } cases[] = {
        {"OnWorkbookInitiate = 0", false,
         "Code Generation canceled by VbScript Macro: OnWorkbookInitiate=0"},
        {"", false, "Code Generation canceled by VbScript Macro: OnWorkbookInitiate=0"},
        {"OnWorkbookInitiate = 5", true, "Run Macro : OnWorkbookInitiate=5"},
        {"OnWorkbookInitiate = True", true, "Run Macro : OnWorkbookInitiate=4294967295"},
        {"OnWorkbookInitiate = \"7\"", true, "Run Macro : OnWorkbookInitiate=7"},
    };
    for (const auto &c : cases) {
        MacroRun r(
            QStringLiteral("Function OnWorkbookInitiate()\n    %1\nEnd Function\n").arg(c.body));
        EXPECT_EQ(r.generate(), c.generated) << c.body;
        EXPECT_THAT(r.texts(), Contains(QString(c.line))) << c.body;
        EXPECT_EQ(r.state.bStartStraton, c.generated) << c.body;
    }
}

TEST(OfficeMacros, OnGeneratedExReceivesTheTaskArgumentAndOnGeneratedIsTheFallback)
{
    MacroRun withEx("Sub OnGeneratedEx(argument As String)\n    Note argument\nEnd Sub\n"
                    "Sub OnGenerated()\n    Note \"old\"\nEnd Sub\n");
    ASSERT_TRUE(withEx.generate()) << withEx.texts().join('\n').toStdString();
    EXPECT_THAT(withEx.texts(), Contains(QString("Run Macro : OnGeneratedEx(MTASK=0;)")));
    EXPECT_THAT(withEx.texts(), Not(Contains(QString("Run Macro : OnGenerated"))));
    EXPECT_EQ(withEx.d1(), "MTASK=0;");

    MacroRun old("Sub OnGenerated()\n    Note \"old\"\nEnd Sub\n");
    ASSERT_TRUE(old.generate()) << old.texts().join('\n').toStdString();
    EXPECT_THAT(old.texts(), Contains(QString("Run Macro : OnGenerated")));
    EXPECT_EQ(old.d1(), "old");
}

TEST(OfficeMacros, CellsTheStartupMacroChangesAreReadAsChanged)
{
    MacroRun r("Function OnWorkbookInitiate()\n"
               "    ThisComponent.Sheets(0).getCellRangeByName(\"B3\").String = \"Renamed\"\n"
               "    OnWorkbookInitiate = 1\nEnd Function\n");
    ASSERT_TRUE(r.generate()) << r.texts().join('\n').toStdString();
    EXPECT_EQ(r.state.ProjectName, "Renamed");
}

TEST(OfficeMacros, AMissingMacroFailsAndAQualifiedNameLooksInItsModuleOnly)
{
    MacroRun r("Function Answer()\n    Answer = 42\nEnd Function\n");
    EXPECT_TRUE(r.generate()) << r.texts().join('\n').toStdString();
    for (const QString &line : r.texts())
        EXPECT_FALSE(line.contains("OnWorkbookInitiate")) << line.toStdString();
    EXPECT_EQ(failureOf([&] { r.excel.Run("Nowhere"); }), "The workbook has no macro Nowhere");
    EXPECT_EQ(r.excel.Run("Module1.Answer"), QVariant(qint64(42)));
    EXPECT_EQ(r.excel.Run("answer"), QVariant(qint64(42)));
    EXPECT_EQ(failureOf([&] { r.excel.Run("Module2.Answer"); }),
              "The workbook has no macro Module2.Answer");
}

// LibreOffice ends a Basic macro at its first runtime error and hands back what the macro
// had set by then; a module that does not compile runs none of its macros. Neither reports an
// error to the caller: a start-up macro that fails before setting its result counts as
// returning nothing, so the run is cancelled rather than going on unchecked.
TEST(OfficeMacros, AFailingMacroReturnsWhatItHadSetAndABrokenModuleReturnsNothing)
{
    const struct {
        const char *source;
        QVariant result;
        const char *line;
    } cases[] = {
        {"Function OnWorkbookInitiate()\n    OnWorkbookInitiate = 3\n    Error 5\n"
         "    OnWorkbookInitiate = 4\nEnd Function\n",
         qint64(3), "Run Macro : OnWorkbookInitiate=3"},
        {"Function OnWorkbookInitiate()\n    Error 5\nEnd Function\n", QVariant(),
         "Code Generation canceled by VbScript Macro: OnWorkbookInitiate=0"},
        {"Function OnWorkbookInitiate()\n    OnWorkbookInitiate = 3\nEnd Function\nFunction "
         "Broken(\n",
         QVariant(), "Code Generation canceled by VbScript Macro: OnWorkbookInitiate=0"},
    };
    for (const auto &c : cases) {
        MacroRun r(c.source);
        r.generate();
        EXPECT_THAT(r.texts(), Contains(QString(c.line))) << c.source;
        EXPECT_EQ(r.excel.Run("OnWorkbookInitiate"), c.result) << c.source;
    }
}

TEST(OfficeMacros, APasswordProtectedWorkbookFailsToOpenWithItsName)
{
    MacroRun r(R"(
Sub SaveLocked(target As String)
    Dim p(0) As New com.sun.star.beans.PropertyValue
    p(0).Name = "Password"
    p(0).Value = "secret"
    ThisComponent.storeToURL(ConvertToURL(target), p())
End Sub
)");
    r.excel.Open(r.path);
    const QString locked = r.dir.filePath("locked.ods");
    r.excel.Run("SaveLocked", locked);
    ASSERT_TRUE(QFile::exists(locked));
    const QString failure = failureOf([&] { r.excel.Open(locked); });
    EXPECT_TRUE(failure.startsWith(locked + ": LibreOffice cannot open it"))
        << failure.toStdString();
}

TEST(OfficeMacros, LibreOfficeKilledDuringARunFailsTheRunAndTheNextRunStartsAnother)
{
    MacroRun r(
        "Function OnWorkbookInitiate()\n    Wait 4000\n    OnWorkbookInitiate = 1\nEnd Function\n",
        ownOfficeOptions("killed"));
    r.excel.Attach();
    const qint64 pid = officeListeningOn(ownOfficePipe("killed"));
    ASSERT_NE(pid, 0);
    std::thread killer([pid] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        ::kill(pid_t(pid), SIGKILL);
    });
    EXPECT_FALSE(r.generate());
    killer.join();
    EXPECT_EQ(r.projectsWritten, 0);
    EXPECT_TRUE(
        r.texts().last().startsWith("Exel Sheet parsing error:The macro OnWorkbookInitiate: "
                                    "LibreOffice ended or the connection to it was lost"))
        << r.texts().join('\n').toStdString();

    EXPECT_TRUE(r.generate()) << r.texts().join('\n').toStdString();
    EXPECT_EQ(r.projectsWritten, 1);
    EXPECT_THAT(r.texts(), Contains(QString("Run Macro : OnWorkbookInitiate=1")));
}

TEST(OfficeMacros, AnXlsmWorkbooksVbaModuleRunsItsMacros)
{
    MacroRun r("");
    const QString project = r.dir.filePath("vbaProject.bin");
    writeVbaProject(project,
                    "Function OnWorkbookInitiate()\n    OnWorkbookInitiate = 5\nEnd Function\n"
                    "Sub OnGeneratedEx(argument As String)\n"
                    "    Worksheets(1).Range(\"D1\").Value = argument\nEnd Sub\n");
    {
        XlsxTestBook book(r.dir.filePath("plant.xlsm"));
        lxw_worksheet *settings = book.addSheet("Settings");
        const char *const cells[][2] = {{"Settings", ""},      {"Template", "template.xml"},
                                        {"Project", "Plant"},  {"Address", "127.0.0.1"},
                                        {"Main type", "Main"}, {"Main name", "Main"}};
        for (int row = 0; row < 6; ++row)
            for (int column = 0; column < 2; ++column)
                worksheet_write_string(settings, lxw_row_t(row), lxw_col_t(column),
                                       cells[row][column], nullptr);
        lxw_worksheet *signalSheet = book.addSheet("Signals");
        worksheet_write_string(signalSheet, 0, 0, "Type", nullptr);
        worksheet_write_string(signalSheet, 1, 0, "END", nullptr);
        ASSERT_EQ(workbook_add_vba_project(book.workbook(), qPrintable(project)), LXW_NO_ERROR);
        r.path = book.save();
    }
    ASSERT_TRUE(r.generate()) << r.texts().join('\n').toStdString();
    EXPECT_THAT(r.texts(), Contains(QString("Run Macro : OnWorkbookInitiate=5")));
    EXPECT_THAT(r.texts(), Contains(QString("Run Macro : OnGeneratedEx(MTASK=0;)")));
    EXPECT_EQ(r.d1(), "MTASK=0;");
    EXPECT_EQ(r.excel.Run("Module1.OnWorkbookInitiate"), QVariant(qint64(5)));
}
