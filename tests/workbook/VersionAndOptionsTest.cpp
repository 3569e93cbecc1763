#include "common/RunLog.h"
#include "support/FakeWorkbook.h"
#include "support/LogTexts.h"
#include "workbook/GeneratorOptions.h"
#include "workbook/VersionInfo.h"

#include <QDomDocument>
#include <gtest/gtest.h>

namespace {

QDomElement element(QDomDocument &doc, const QString &xml)
{
    EXPECT_TRUE(doc.setContent(xml));
    return doc.documentElement();
}

TEST(VersionInfo, VersionIsTakenOnlyWhenSheetRowAndColAreNumbers)
{
    const struct {
        const char *xml;
        const char *version;
    } cases[] = {
        {R"(<VersionInfo version="2.1" sheet="1" row="3" col="$A"/>)", "2.1"},
        {R"(<VersionInfo version="2.1" sheet="1" row="3"/>)", ""},
        {R"(<VersionInfo version="2.1" sheet="x" row="3" col="4"/>)", ""},
        {R"(<VersionInfo sheet="1" row="3" col="4"/>)", ""},
        {R"(<VersionInfo version=" 7 " sheet=" 1" row="3" col="4"/>)", " 7 "},
        {R"(<Missing/>)", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.xml);
        QDomDocument doc;
        TVersionInfo info;
        info.Version = "stale";
        ReadVersionInfo(element(doc, c.xml), info);
        EXPECT_EQ(info.Version, QString::fromUtf8(c.version));
    }
    QDomDocument doc;
    TVersionInfo info;
    ReadVersionInfo(element(doc, R"(<VersionInfo version="1" sheet="2" row="3" col="$A"/>)"), info);
    EXPECT_EQ(info.Sheet, 2);
    EXPECT_EQ(info.Row, 3);
    EXPECT_EQ(info.Col, 10);
}

struct VersionFixture {
    FakeWorkbooks excel;
    std::shared_ptr<FakeWorksheet> sheet;
    VersionFixture()
    {
        auto &book = excel.addBook("/w", "book.xlsx");
        FakeWorkbooks::addSheet(book, "Settings");
        sheet = FakeWorkbooks::addSheet(book, "Signals");
        excel.activate(book);
    }
};

TEST(VersionCheck, MatchingCellLogsTheVersionAndGoesOn)
{
    VersionFixture f;
    f.sheet->set(1, 1, CellValue::fromNumber(3)); // a number compares in its text form
    RunLog log;
    EXPECT_TRUE(CheckVersion(f.excel, {"3", 2, 1, 1}, log));
    EXPECT_EQ(logTexts(log), (QStringList{"XML and Excel sheet version : 3"}));
}

TEST(VersionCheck, TrailingBlankInTheCellIsAMismatchWithFourPlainLines)
{
    VersionFixture f;
    f.sheet->set(1, 1, "2.1 ");
    RunLog log;
    EXPECT_FALSE(CheckVersion(f.excel, {"2.1", 2, 1, 1}, log));
    EXPECT_EQ(logTexts(log),
              (QStringList{"Version mismatch between XML file and Excel Sheet",
                           "Not able to generated project.", "  XML file reports version    : 2.1",
                           "  Excel sheet reports version : 2.1 "}));
}

TEST(VersionCheck, MissingSheetSwitchesTheCheckOffSilently)
{
    VersionFixture f;
    RunLog log;
    EXPECT_TRUE(CheckVersion(f.excel, {"2.1", 9, 1, 1}, log));
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(GeneratorOptions, EachOptionReadsItsCellOrDefaultOrText)
{
    const struct {
        const char *xml;
        CellValue i4;
        bool keep, disable, multi;
    } cases[] = {
        {"<G/>", {}, false, false, false},
        {"<G><KeepGeneratedVars>1</KeepGeneratedVars></G>", {}, true, false, false},
        {"<G><KeepGeneratedVars>TRUE</KeepGeneratedVars></G>", {}, false, false, false},
        {"<G><KeepGeneratedVars> 1</KeepGeneratedVars></G>", {}, false, false, false},
        {R"(<G><KeepGeneratedVars default="TRUE"/></G>)", {}, false, false, false},
        {"<G><KeepGeneratedVars>1<x/></KeepGeneratedVars></G>", {}, false, false, false},
        {R"(<G><KeepGeneratedVars row="4" col="9" default="true">1</KeepGeneratedVars></G>)",
         {},
         true,
         false,
         false},
        {R"(<G><KeepGeneratedVars row="4" col="9">1</KeepGeneratedVars></G>)",
         CellValue::fromText("no"), false, false, false},
        {R"(<G><GenerateMultiTaskApp default="true"/></G>)", {}, false, false, true},
        {R"(<G><DisableVarIndicationCreatedByGenerator row="4" col="9" default="TRUE"/></G>)",
         {},
         false,
         true,
         false},
        {R"(<G><DisableVarIndicationCreatedByGenerator row="4" col="9" default="TRUE"/></G>)",
         CellValue::fromText("no"), false, false, false},
        {R"(<G><GenerateMultiTaskApp row="4" col="9"/></G>)", CellValue::fromBool(true), false,
         false, true},
        {R"(<G><GenerateMultiTaskApp row="4" col="9"/></G>)", CellValue::fromText("tRuE"), false,
         false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.xml);
        FakeWorksheet sheet("Settings");
        sheet.set(4, 9, c.i4);
        QDomDocument doc;
        TXmlGeneratorOptions options{true, true, true};
        ReadGeneratorOptions(&sheet, element(doc, c.xml), options);
        EXPECT_EQ(options.KeepGeneratedVars, c.keep);
        EXPECT_EQ(options.DisableVarIndicationCreatedByGenerator, c.disable);
        EXPECT_EQ(options.GenerateMultiTaskApp, c.multi);
    }
}

// A worksheet whose every cell read fails, as a broken connection would.
class FailingSheet final : public Worksheet {
public:
    QString Name() const override { return "x"; }
    CellValue Cell(int, int) const override { throw Failure("unreadable"); }
    CellBlock Range(const QString &, const QString &) const override
    {
        throw Failure("unreadable");
    }
};

TEST(GeneratorOptions, UnreadableCellLeavesOnlyThatOptionFalse)
{
    FailingSheet sheet;
    QDomDocument doc;
    TXmlGeneratorOptions options;
    ReadGeneratorOptions(&sheet, element(doc, R"(<G><KeepGeneratedVars>1</KeepGeneratedVars>
                             <GenerateMultiTaskApp row="1" col="1" default="TRUE"/></G>)"),
                         options);
    EXPECT_TRUE(options.KeepGeneratedVars);
    EXPECT_FALSE(options.GenerateMultiTaskApp);
}

} // namespace
