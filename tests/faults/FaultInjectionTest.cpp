#include "support/ProgramRun.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <gmock/gmock.h>

#include <sqlite3.h>

using ::testing::AnyOf;
using ::testing::Eq;
using ::testing::HasSubstr;

namespace {

// SQLite's own check of the store: "ok" when every page and index is sound.
std::string integrityOf(const QString &store)
{
    sqlite3 *db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(QFile::encodeName(store).constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr) == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            result = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

struct FileState {
    QByteArray eqv, cpo;
};

FileState filesOf(const ProgramRun &f)
{
    return {f.bytes(f.project("appli.EQV")), f.bytes(f.project("appli.CPO"))};
}

} // namespace

TEST(FaultInjection, AGeneratorKilledAtAnyMomentLosesNothing)
{
    ProgramRun f;
    f.writeWorkbook(600);
    f.writeTemplate("OLD");
    QString out;
    ASSERT_EQ(f.generate(&out), 0) << out.toStdString();
    const FileState old = filesOf(f);

    // The new template's run, once to the end in a copy, gives the new content and the time
    // a whole run takes.
    f.writeTemplate("NEW", 50);
    ProgramRun reference;
    reference.writeWorkbook(600);
    reference.writeTemplate("NEW", 50);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(reference.generate(&out), 0) << out.toStdString();
    const qint64 runMs = std::max<qint64>(timer.elapsed(), 50);
    FileState fresh = filesOf(reference);
    // The reference started from no options file; the killed runs start from the old one.
    ASSERT_TRUE(fresh.eqv.contains("NEW_49"));

    QRandomGenerator random(20261210);
    for (int round = 0; round < 25; ++round) {
        const int delay = int(random.bounded(qint64(runMs * 11 / 10)));
        SCOPED_TRACE("killed after " + std::to_string(delay) + " ms");
        QProcess p;
        f.start(p);
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(delay);
        p.kill();
        p.waitForFinished(30000);

        const FileState now = filesOf(f);
        EXPECT_THAT(now.eqv, AnyOf(Eq(old.eqv), Eq(fresh.eqv)));
        EXPECT_TRUE(now.cpo == old.cpo ||
                    (now.cpo.contains("MARK=NEW") && !now.cpo.contains("MARK=OLD")))
            << now.cpo.toStdString();
        EXPECT_EQ(integrityOf(f.project("appli.k5db")), "ok");
        EXPECT_EQ(f.dump(), 0); // the project opens
    }
    ASSERT_EQ(f.generate(&out), 0) << out.toStdString(); // a rerun completes
    EXPECT_EQ(f.bytes(f.project("appli.EQV")), fresh.eqv);
    QString dumped, expected;
    f.dump(&dumped);
    reference.dump(&expected);
    EXPECT_EQ(dumped.section('\n', 1), expected.section('\n', 1)); // all but the project name line
}

TEST(FaultInjection, AWriteThatFailsPartWayNamesTheFileAndKeepsTheOldOne)
{
    ProgramRun f;
    f.writeWorkbook(5);
    f.writeTemplate("OLD");
    QString out;
    ASSERT_EQ(f.generate(&out), 0) << out.toStdString();
    const FileState old = filesOf(f);

    // Defines far beyond the limit: the new appli.EQV cannot be written whole.
    f.writeTemplate("NEW", 20000);
    EXPECT_NE(f.generate(&out, 256 * 1024), 0);
    EXPECT_THAT(out.toStdString(), HasSubstr("STRATON project update error:"));
    EXPECT_THAT(out.toStdString(), HasSubstr("appli.EQV"));
    EXPECT_EQ(filesOf(f).eqv, old.eqv);
    EXPECT_EQ(filesOf(f).cpo, old.cpo);
    EXPECT_EQ(integrityOf(f.project("appli.k5db")), "ok");
    EXPECT_EQ(f.dump(), 0);

    ASSERT_EQ(f.generate(&out), 0) << out.toStdString();
    EXPECT_TRUE(f.bytes(f.project("appli.EQV")).contains("NEW_19999"));
}

TEST(FaultInjection, AnotherClientsLockIsReportedAndReadersSeeASoundProject)
{
    ProgramRun f;
    f.writeWorkbook(400);
    f.writeTemplate("OLD");
    QString out;
    ASSERT_EQ(f.generate(&out), 0) << out.toStdString();

    // A second process holds the global group while the generator runs.
    QProcess holder;
    holder.start(QStringLiteral(TESSILY_BIN "/k5db-lock-probe"),
                 {f.project(), "group", "(Global)", "hold"});
    ASSERT_TRUE(holder.waitForReadyRead(30000));
    ASSERT_EQ(holder.readLine().trimmed(), "0");

    f.writeTemplate("NEW");
    QProcess generator;
    f.start(generator);
    ASSERT_TRUE(generator.waitForStarted());
    // Meanwhile others read the project again and again.
    int reads = 0;
    while (generator.state() != QProcess::NotRunning && reads < 200) {
        QString dumped;
        EXPECT_EQ(f.dump(&dumped), 0);
        EXPECT_TRUE(dumped.startsWith("project \"Plant\"")) << dumped.left(200).toStdString();
        ++reads;
        generator.waitForFinished(10);
    }
    ASSERT_TRUE(generator.state() == QProcess::NotRunning || generator.waitForFinished(300000));
    out = QString::fromUtf8(generator.readAll());
    holder.closeWriteChannel();
    holder.waitForFinished(30000);

    EXPECT_EQ(generator.exitCode(), 0) << out.toStdString();
    EXPECT_THAT(out.toStdString(),
                HasSubstr("Unable to lock variable group ((Global)), variables not created"));
    EXPECT_THAT(out.toStdString(), HasSubstr("Finished STRATON project generation"));
    EXPECT_EQ(integrityOf(f.project("appli.k5db")), "ok");

    // With the lock gone, the next run writes the globals again.
    ASSERT_EQ(f.generate(&out), 0);
    QString dumped;
    f.dump(&dumped);
    EXPECT_THAT(dumped.toStdString(), HasSubstr("Signal 399 NEW  !CrByGen!"));
}
