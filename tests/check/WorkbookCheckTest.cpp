#include "check/CheckCommand.h"
#include "support/GenerationFixture.h"
#include "support/PlantTemplate.h"

#include <gmock/gmock.h>

namespace {

// The generation run's template and a workbook that suits it; each case spoils one thing.
struct WorkbookCase : GenerationFixture {
    WorkbookCase()
    {
        QByteArray xml = kTemplate;
        xml.replace("<MainCode>",
                    R"(<VersionInfo version="2.1" sheet="1" row="8" col="2"/><MainCode>)");
        xml.replace(R"(default="7"/>)", R"(default="7" type="int"/>)");
        writeTemplate(xml);
        moreSettings = {{"Base", 20}, {"Version", "2.1"}};
        signalRows = {{"Type", "Off", "Tag", "Port"},
                      {"DI", QVariant(), "Door", 1},
                      {"Meas", QVariant(), "Volts", 2}};
    }
    QStringList check()
    {
        const QString book = writeWorkbook();
        QStringList lines;
        for (const Diagnostic &d :
             CheckTemplateAndWorkbook(dir.filePath("template.xml"), book).sorted())
            lines.append(d.text().mid(book.size())); // without the workbook's path
        return lines;
    }
};

} // namespace

TEST(WorkbookCheck, ASuitingWorkbookChecksClean)
{
    WorkbookCase c;
    EXPECT_EQ(c.check(), QStringList());
}

TEST(WorkbookCheck, ReportsWhatARunWouldRejectAtItsCell)
{
    const struct {
        const char *name;
        std::function<void(WorkbookCase &)> spoil;
        QString expected;
    } cases[] = {
        {"version", [](WorkbookCase &c) { c.moreSettings[1][1] = "2.0"; },
         R"(:Settings!B8: error: version "2.0" does not match the template's version "2.1"; a run stops here)"},
        {"main program", [](WorkbookCase &c) { c.mainType = "Other"; },
         R"(:Settings!B5: error: main program type "Other" is not defined in the template's MainCode; a run stops here)"},
        {"settings value", [](WorkbookCase &c) { c.moreSettings[0][1] = "abc"; },
         R"(:Settings!B7: error: value "abc" is not accepted: Value of type (int) expected; a run uses the default "7")"},
        {"signal value", [](WorkbookCase &c) { c.signalRows[2][3] = 12; },
         R"(:Signals!D3: error: value "12" is not accepted: Value in range (1..9) expected; a run uses the default "1")"},
        {"signal type",
         [](WorkbookCase &c) {
             c.signalRows.push_back({"AI", QVariant(), "Amps", 1});
         },
         R"(:Signals!A4: error: signal type "AI" is not defined in the template; a run skips this row)"},
    };
    for (const auto &c : cases) {
        WorkbookCase w;
        c.spoil(w);
        EXPECT_EQ(w.check(), QStringList{c.expected}) << c.name;
    }
}

TEST(WorkbookCheck, RowsARunSkipsAreNotChecked)
{
    WorkbookCase c;
    c.signalRows.push_back({"AI", "x", "Spare", 99}); // disabled
    c.signalRows.push_back({"END"});
    c.signalRows.push_back({"AI", QVariant(), "After", 99}); // below the end
    EXPECT_EQ(c.check(), QStringList());
}

TEST(WorkbookCheck, ATemplatePathInB2ThatDoesNotResolve)
{
    WorkbookCase c;
    c.templateCell = "templates\\plant.xml";
    const QStringList lines = c.check();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_THAT(
        lines[0].toStdString(),
        ::testing::StartsWith(
            R"(:Settings!B2: error: the template "templates\plant.xml" named in B2 does not exist (looked for )"));
}
