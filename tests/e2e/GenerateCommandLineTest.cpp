#include "support/ProgramRun.h"
#include "support/RtuSimProcess.h"

#include <QDeadlineTimer>
#include <gmock/gmock.h>

#include <csignal>

using ::testing::HasSubstr;

TEST(GenerateCommandLine, GeneratesCompilesAndDownloadsToTheDevice)
{
    RtuSimProcess device({"--quiet"});
    ASSERT_NE(device.port(), 0) << device.error().toStdString();
    ProgramRun r;
    r.writeWorkbook(40, device.address());
    r.writeTemplate("ONE");
    QString out;
    ASSERT_EQ(r.generate(&out, 0, {"--download"}), 0) << out.toStdString();
    const std::string text = out.toStdString();
    EXPECT_THAT(text, HasSubstr("Successful compilation"));
    EXPECT_THAT(text, HasSubstr("download status: Requesting Stop"));
    EXPECT_THAT(text,
                HasSubstr("Project downloaded succesfully to :" + device.address().toStdString()));
}

TEST(GenerateCommandLine, AFailedDownloadOrCompilationFailsTheCommand)
{
    ProgramRun r;
    r.writeWorkbook(5, "127.0.0.1:1"); // nothing listens there
    r.writeTemplate("ONE");
    QString out;
    EXPECT_EQ(r.generate(&out, 0, {"--download"}), 1);
    EXPECT_THAT(out.toStdString(), HasSubstr("Project probably not downloaded"));
    EXPECT_EQ(r.generate(&out), 0); // without --download the same project is fine

    QFile code(r.dir.filePath("plant.xml"));
    ASSERT_TRUE(code.open(QIODevice::ReadOnly));
    QByteArray xml = code.readAll();
    code.close();
    xml.replace("Life := Life + 1;", "Life := Undeclared + 1;");
    ASSERT_TRUE(code.open(QIODevice::WriteOnly | QIODevice::Truncate));
    code.write(xml);
    code.close();
    EXPECT_EQ(r.generate(&out), 1);
    EXPECT_THAT(out.toStdString(), HasSubstr("Compilation error"));
    EXPECT_THAT(out.toStdString(), HasSubstr("Main("));
}

TEST(GenerateCommandLine, CtrlCClosesADownloadThatMakesNoProgress)
{
    RtuSimProcess device({"--quiet", "--refuse", "AppStop=100000"});
    ASSERT_NE(device.port(), 0) << device.error().toStdString();
    ProgramRun r;
    r.writeWorkbook(5, device.address());
    r.writeTemplate("ONE");
    QProcess p;
    r.start(p, 0, {"--download"});
    ASSERT_TRUE(p.waitForStarted());
    QString out;
    // Wait until the device has refused the stop, then interrupt.
    for (QDeadlineTimer deadline(60000);
         !out.contains("Not able to stop application") && !deadline.hasExpired();) {
        p.waitForReadyRead(200);
        out += QString::fromUtf8(p.readAll());
    }
    ASSERT_TRUE(out.contains("Not able to stop application")) << out.toStdString();
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(10000)) << "the download did not end on Ctrl-C";
    out += QString::fromUtf8(p.readAll());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_THAT(out.toStdString(), HasSubstr("Project probably not downloaded"));
}
