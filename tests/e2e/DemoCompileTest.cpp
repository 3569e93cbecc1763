#include "app/CommandLine.h"
#include "common/RunLog.h"
#include "project/Compiler.h"
#include "support/LogTexts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(DemoCompile, TheGeneratedDemoProjectCompilesIntoAnApplication)
{
    QTemporaryDir dir;
    const QString examples =
        QDir(QStringLiteral(TESSILY_FIXTURES "/../../examples")).absolutePath();
    for (const char *name : {"substation.xlsx", "substation.xml"})
        ASSERT_TRUE(
            QFile::copy(examples + u'/' + QLatin1String(name), dir.filePath(QLatin1String(name))));
    QString out, err;
    QTextStream o(&out), e(&err);
    ASSERT_EQ(runCommandLine({"generate", dir.filePath("substation.xlsx")}, o, e), 0)
        << out.toStdString();

    RunLog log;
    QStringList CompilerErrorList;
    const QString project = dir.filePath("Nordhavn_RTU1");
    EXPECT_TRUE(CompileProject(project, log, CompilerErrorList));
    EXPECT_THAT(CompilerErrorList, IsEmpty());
    EXPECT_THAT(logTexts(log), ElementsAre("Calling compiler", "Successful compilation"));
    QFile application(project + QStringLiteral("/APPLI.XTI"));
    ASSERT_TRUE(application.open(QIODevice::ReadOnly));
    const QByteArray text = application.readAll();
    EXPECT_TRUE(text.startsWith("K5XTI 1\n"));
    EXPECT_TRUE(text.contains("program \"Main\" section=1 "));
    EXPECT_TRUE(text.contains("program \"A_SPI1\" section=8 "));
    EXPECT_TRUE(text.contains("program \"IEC104_Link\" section=16 "));
}
