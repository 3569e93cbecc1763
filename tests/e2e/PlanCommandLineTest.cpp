#include "support/ProgramRun.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

int tessily(const QStringList &arguments, QString *out = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TESSILY_BIN "/tessily"), arguments);
    p.waitForFinished(120000);
    if (out)
        *out = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

TEST(PlanCommandLine, ExitStatusSaysWhetherTheBuildWouldChangeSomething)
{
    ProgramRun r;
    r.writeWorkbook(5);
    r.writeTemplate("ONE");
    QString out;
    EXPECT_EQ(r.generate(&out, 0, {"--plan"}), 2) << out.toStdString();
    EXPECT_THAT(out.toStdString(), HasSubstr("Project " + r.project().toStdString() + ": created"));
    EXPECT_THAT(out.toStdString(), HasSubstr("The build would change the project."));
    EXPECT_FALSE(QFileInfo::exists(r.project())) << "the plan made the project folder";

    ASSERT_EQ(r.generate(&out), 0) << out.toStdString();
    const QString json = r.dir.filePath("plan.json");
    EXPECT_EQ(r.generate(&out, 0, {"--plan", "--plan-json", json}), 0) << out.toStdString();
    EXPECT_THAT(out.toStdString(), HasSubstr("The build would change nothing."));
    const QJsonObject plan = QJsonDocument::fromJson(r.bytes(json)).object();
    EXPECT_EQ(plan.keys(), (QStringList{"changes", "ok", "projects", "summary"}));
    EXPECT_TRUE(plan["ok"].toBool());
    EXPECT_FALSE(plan["changes"].toBool());
    // Main, written anew with a new time in its first line, and the port block A_P
    EXPECT_EQ(plan["summary"].toObject()["programsUnchanged"].toInt(), 2);

    r.writeTemplate("TWO");
    EXPECT_EQ(r.generate(&out, 0, {"--plan"}), 2) << out.toStdString();
    EXPECT_THAT(out.toStdString(), HasSubstr("~ appli.EQV: changed"));
    EXPECT_THAT(out.toStdString(), HasSubstr("+#define TWO_0 0"));
    EXPECT_THAT(out.toStdString(), HasSubstr("MARK=TWO (was ONE)"));
}

TEST(PlanCommandLine, AFailedRunIsAFailureAndUsageErrorsHaveTheirOwnStatus)
{
    ProgramRun r;
    r.writeWorkbook(3); // its template is never written
    QString out;
    EXPECT_EQ(r.generate(&out, 0, {"--plan"}), 1) << out.toStdString();

    const QString book = r.dir.filePath("plant.xlsx");
    const QStringList usage[] = {
        {"generate", "--plan", "--plan-json"},
        {"generate", "--plan-json", "x.json", book},
        {"generate", "--plan", "--download", book},
        {"generate", "--no-such-option", book},
        {"generate"},
        {"cells", book},
        {"frobnicate"},
    };
    for (const QStringList &arguments : usage) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_EQ(tessily(arguments, &out), 64) << out.toStdString();
        EXPECT_THAT(out.toStdString(), HasSubstr("usage: tessily"));
    }
}
