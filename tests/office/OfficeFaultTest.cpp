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
#include <thread>

namespace {

QString failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Failure &e) {
        return e.message();
    }
    return QStringLiteral("no failure");
}

// The process id of the LibreOffice listening on `pipe`: one this test started.
qint64 officeListeningOn(const QString &pipe)
{
    const QByteArray wanted = "pipe,name=" + pipe.toLocal8Bit() + ";";
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile cmdline("/proc/" + entry + "/cmdline");
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(wanted))
            return entry.toLongLong();
    }
    return 0;
}

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
    const qint64 first = officeListeningOn(ownOfficePipe("forever"));
    ASSERT_NE(first, 0);
    QElapsedTimer clock;
    clock.start();
    const QString failure = failureOf([&] { office.Run("Forever"); });
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(failure, "The macro Forever: LibreOffice did not answer within 3 s; Tessily's LibreOffice was ended");
    EXPECT_NE(::kill(pid_t(first), 0), 0) << "the LibreOffice that ran the macro still runs";
    // a sheet bound before says why it cannot be read
    office.Open(book);
    EXPECT_EQ(cellText(office.Sheet(1)->Cell(1, 1)), "a");
}

TEST(OfficeFaults, LibreOfficeKilledDuringARunFailsTheRunAndTheNextRunStartsAnother)
{
    QTemporaryDir dir;
    const QString book = writeBook(dir, "Function Slow()\n    Wait 5000\n    Slow = 1\nEnd Function\n");
    OfficeWorkbooks office(ownOfficeOptions("killed"));
    office.Open(book);
    const auto sheet = office.Sheet(1);
    const qint64 pid = officeListeningOn(ownOfficePipe("killed"));
    ASSERT_NE(pid, 0);
    std::thread killer([pid] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        ::kill(pid_t(pid), SIGKILL);
    });
    const QString failure = failureOf([&] { office.Run("Slow"); });
    killer.join();
    EXPECT_TRUE(failure.startsWith("The macro Slow: LibreOffice ended or the connection to it was lost"))
        << failure.toStdString();
    const QString later = failureOf([&] { sheet->Range("A1", "B1"); });
    EXPECT_TRUE(later.endsWith(failure)) << later.toStdString();
    office.Open(book);
    EXPECT_EQ(cellText(office.Sheet(1)->Cell(1, 2)), "1");
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

TEST(OfficeFaults, TwoTessilyProcessesAtOnceEachGetTheirOwnLibreOffice)
{
    QTemporaryDir dir;
    const QString book = writeBook(dir, {});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TESSILY_OFFICE_PIPE", "tessily-test-nobody-" + QString::number(QCoreApplication::applicationPid()));
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
