#include "office/OfficeTestSupport.h"

#include "app/CommandLine.h"
#include "common/Failure.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

QString writeBook(const QTemporaryDir &dir, const QString &basic)
{
    return writeMacroOds(dir.filePath("book.ods"), odsTable("One", {{"a", 1}}), basic);
}

} // namespace

TEST(OfficeFaults, AMacroThatNeverReturnsIsEndedWithItsLibreOfficeAndTheNextCallStartsAnother)
{
    QTemporaryDir dir;
    const QString book = writeBook(dir, "Function Forever()\n    Do\n    Loop\nEnd Function\n");
    OfficeWorkbooks office(ownOfficeOptions("forever", 3));
    office.Open(book);
    const auto sheet = office.Sheet(1);
    const qint64 first = officeListeningOn(ownOfficePipe("forever"));
    ASSERT_NE(first, 0);
    QElapsedTimer clock;
    clock.start();
    const QString failure = failureOf([&] { office.Run("Forever"); });
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(failure, "The macro Forever: LibreOffice did not answer within 3 s; Tessily's "
                       "LibreOffice was ended");
    EXPECT_NE(::kill(pid_t(first), 0), 0) << "the LibreOffice that ran the macro still runs";
    // a sheet of the ended LibreOffice says why it cannot be read
    EXPECT_EQ(failureOf([&] { sheet->Range("A1", "B1"); }), book + ": " + failure);
    office.Open(book);
    EXPECT_EQ(cellText(office.Sheet(1)->Cell(1, 1)), "a");
}

// On a LibreOffice Tessily did not start, a call past its limit has its connection cut; an
// answer that comes after that is not taken as the call's result.
TEST(OfficeFaults, AnAnswerAfterTheCallLimitIsNotTaken)
{
    QTemporaryDir dir;
    const QString book =
        writeBook(dir, "Function Slow()\n    Wait 4000\n    Slow = 1\nEnd Function\n");
    OfficeBridgeOptions options = OfficeWorkbooks::defaultOptions(); // the shared LibreOffice
    options.callSeconds = 1;
    OfficeWorkbooks office(options);
    office.Open(book);
    EXPECT_EQ(failureOf([&] { office.Run("Slow"); }),
              "The macro Slow: LibreOffice did not answer within 1 s");
}

TEST(OfficeFaults, LibreOfficeNotInstalledNamesThePackageToInstall)
{
    QTemporaryDir empty;
    qputenv("TESSILY_OFFICE_PROGRAM", empty.path().toLocal8Bit());
    OfficeWorkbooks office(ownOfficeOptions("missing"));
    const QString failure = failureOf([&] { office.Attach(); });
    qunsetenv("TESSILY_OFFICE_PROGRAM");
    EXPECT_TRUE(failure.startsWith("LibreOffice is not installed")) << failure.toStdString();
    EXPECT_TRUE(failure.contains("libreoffice-calc-nogui")) << failure.toStdString();
}

TEST(OfficeFaults, OfficeCommandWithoutLibreOfficeNamesThePackage)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    const int status = runCommandLine({"office"}, o, e);
    qputenv("PATH", path);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(
        err,
        "tessily: LibreOffice is not installed: install the Debian package libreoffice-calc\n");
}

TEST(OfficeFaults, ALibreOfficeThatNeverAcceptsIsEndedAfterTheStartTime)
{
    QTemporaryDir program;
    QFile fake(program.filePath("soffice.bin"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("#!/bin/sh\nwhile :; do sleep 1; done\n"); // runs, never listens
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TESSILY_OFFICE_PROGRAM", program.path().toLocal8Bit());
    OfficeBridgeOptions options = ownOfficeOptions("hung");
    options.startSeconds = 2;
    OfficeWorkbooks office(options);
    QElapsedTimer clock;
    clock.start();
    const QString failure = failureOf([&] { office.Attach(); });
    qunsetenv("TESSILY_OFFICE_PROGRAM");
    EXPECT_EQ(failure, "LibreOffice did not start within 2 s");
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(officeListeningOn(ownOfficePipe("hung")), 0)
        << "the process that never accepted still runs";
}

TEST(OfficeFaults, TwoTessilyProcessesAtOnceEachGetTheirOwnLibreOffice)
{
    QTemporaryDir dir;
    const QString book = writeBook(dir, {});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TESSILY_OFFICE_PIPE",
                       "tessily-test-nobody-" +
                           QString::number(QCoreApplication::applicationPid()));
    QProcess one;
    QProcess two;
    for (QProcess *p : {&one, &two}) {
        p->setProcessEnvironment(environment);
        p->start(QStringLiteral(TESSILY_BIN "/tessily"), {"cells", "--office", book, "1", "A1:B1"});
    }
    for (QProcess *p : {&one, &two}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        EXPECT_EQ(p->readAllStandardOutput(), "a\t1\n");
    }
}
