#include "check/CheckCommand.h"
#include "check/TemplateCheck.h"
#include "support/PlantTemplate.h"
#include "support/ProgramRun.h"
#include "support/QtPrinters.h"

#include <gmock/gmock.h>

// The templates that generate correctly check without a word: the demo (alone and with its
// workbook) and the templates of the end-to-end tests.

namespace {

QStringList texts(const DiagnosticList &list)
{
    QStringList lines;
    for (const Diagnostic &d : list.sorted())
        lines.append(d.text());
    return lines;
}

const QString kExamples = QStringLiteral(TESSILY_FIXTURES "/../../examples");

} // namespace

TEST(CleanTemplates, TheDemoTemplateAndWorkbook)
{
    const QString xml = kExamples + "/substation.xml";
    EXPECT_EQ(texts(CheckTemplateFile(xml, "substation.xml")), QStringList());
    EXPECT_EQ(texts(CheckTemplateAndWorkbook(xml, kExamples + "/substation.xlsx")), QStringList());
}

TEST(CleanTemplates, TheGenerationRunTemplate)
{
    EXPECT_EQ(texts(CheckTemplateText(kTemplate, "plant.xml")), QStringList());
}

TEST(CleanTemplates, TheCommandLineRunTemplateAndWorkbook)
{
    ProgramRun r;
    r.writeTemplate("ONE");
    const QString workbook = r.writeWorkbook(5);
    EXPECT_EQ(texts(CheckTemplateAndWorkbook(r.dir.filePath("plant.xml"), workbook)),
              QStringList());
}
