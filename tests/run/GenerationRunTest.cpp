#include "run/GenerationRun.h"
#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "support/FakeWorkbook.h"
#include "support/LogTexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct RecordedPrompts final : UserPrompts {
    QStringList shown;
    void message(const QString &, const QString &text) override { shown << text; }
};

// A run against the in-memory spreadsheet, whose workbooks can run macros.
struct RunFixture {
    QTemporaryDir dir;
    FakeWorkbooks excel;
    RunState state;
    RunLog log;
    RecordedPrompts prompts;
    GenerationRun run{state, excel, log, prompts};

    FakeWorkbooks::Book &book(const QString &templatePath, const QString &name = "plant.xlsx")
    {
        auto &b = excel.addBook(dir.path(), name);
        FakeWorkbooks::addSheet(b, "Settings")->set(2, 2, templatePath);
        excel.activate(b);
        return b;
    }
    QStringList texts() const { return logTexts(log); }
    bool generateActive() { return run.GenerateFromWorkbook(WorkbookChooser(), false); }
};

TEST(GenerationRun, NoActiveWorkbookEndsTheRun)
{
    RunFixture f;
    EXPECT_FALSE(f.generateActive());
    EXPECT_EQ(f.texts(),
              (QStringList{"Attaching to EXCEL", "Not able to connect to active Excel WorkBook"}));
    EXPECT_FALSE(f.excel.calls.contains("Detach"));
}

TEST(GenerationRun, ActiveWorkbookWithoutWorksheetEndsTheRun)
{
    RunFixture f;
    auto &b = f.excel.addBook(f.dir.path(), "charts.xlsx");
    b.sheets.push_back(nullptr); // a chart sheet first
    f.excel.activate(b);
    EXPECT_FALSE(f.generateActive());
    EXPECT_EQ(f.texts().last(), "Not able to connect to the active Excel Sheet");
}

TEST(GenerationRun, SelectedWorkbookThatCannotBeOpenedShowsItsMessage)
{
    RunFixture f;
    EXPECT_FALSE(
        f.run.GenerateFromWorkbook(WorkbookChooser::forPath("/nowhere/plant.xlsx"), false));
    EXPECT_EQ(f.prompts.shown, (QStringList{"/nowhere/plant.xlsx: file not found"}));
    EXPECT_EQ(f.texts().last(), "Not able to open selected Excel WorkBook");
}

TEST(GenerationRun, OpenWorkbookFromTheSameFolderIsReusedInAnyCase)
{
    RunFixture f;
    f.book("missing.xml");
    const QString path = f.dir.path().toUpper() + "/PLANT.XLSX";
    f.run.GenerateFromWorkbook(WorkbookChooser::forPath(path), false);
    EXPECT_FALSE(f.excel.calls.filter("Open").size());
    EXPECT_TRUE(f.texts().contains("EXCEL Workbook : PLANT.XLSX"));
}

TEST(GenerationRun, StartupMacroResultDecidesWhetherTheRunGoesOn)
{
    const struct {
        QVariant result;
        bool macroExists;
        QString line; // the macro's line, or empty for none
        bool cancelled;
    } cases[] = {
        {0, true, "Code Generation canceled by VbScript Macro: OnWorkbookInitiate=0", true},
        {QVariant(), true, "Code Generation canceled by VbScript Macro: OnWorkbookInitiate=0",
         true},
        {1, true, "Run Macro : OnWorkbookInitiate=1", false},
        {true, true, "Run Macro : OnWorkbookInitiate=4294967295", false},
        {"abc", true, "", false},
        {QVariant(), false, "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        RunFixture f;
        auto &b = f.book("missing.xml");
        if (c.macroExists)
            b.macros["OnWorkbookInitiate"] = [&](const QString &) { return c.result; };
        EXPECT_FALSE(f.generateActive());
        EXPECT_EQ(f.state.bStartStraton, !c.cancelled);
        const QStringList t = f.texts();
        ASSERT_GE(t.size(), 3);
        EXPECT_EQ(t[1], "EXCEL Workbook : plant.xlsx");
        if (c.line.isEmpty())
            EXPECT_TRUE(t[2].startsWith("XML file in sheet1.cell(1,B) not found:"));
        else
            EXPECT_EQ(t[2], c.line);
        EXPECT_TRUE(f.excel.calls.contains("Detach"));
    }
}

TEST(GenerationRun, MissingTemplateIsReportedWithB2AsWritten)
{
    RunFixture f;
    f.book("templates/plant.xml ");
    EXPECT_FALSE(f.generateActive());
    EXPECT_EQ(f.texts().last(), "XML file in sheet1.cell(1,B) not found: templates/plant.xml ");
}

TEST(GenerationRun, NewCommandEmptiesTheLogAndFurtherRunsKeepIt)
{
    RunFixture f;
    f.book("missing.xml");
    f.generateActive();
    const qsizetype first = f.log.lines().size();
    f.run.GenerateFromWorkbook(WorkbookChooser(), true);
    EXPECT_EQ(f.log.lines().size(), 2 * first);
    f.run.GenerateFromWorkbook(WorkbookChooser(), false);
    EXPECT_EQ(f.log.lines().size(), first);
}

} // namespace
