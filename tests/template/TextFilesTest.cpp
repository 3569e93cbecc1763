#include "common/Failure.h"
#include "common/RunLog.h"
#include "template/TTextFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString folderOf(const QTemporaryDir &dir)
{
    return dir.path() + u'/';
}

TEST(TextFiles, AddFileSplitsAndUnindents)
{
    TTextFiles files;
    files.AddFile(QStringLiteral("\n    a\r\n      b"), QStringLiteral("x.txt"), false);
    ASSERT_EQ(files.entries().size(), 1u);
    EXPECT_EQ(files.entries()[0].item.RE,
              (QStringList{QStringLiteral("a"), QStringLiteral("  b")}));
    EXPECT_FALSE(files.entries()[0].item.Overwrite);
}

TEST(TextFiles, WritesWindows1252WithCrLfAndNoByteOrderMark)
{
    QTemporaryDir dir;
    RunLog log;
    TTextFiles files;
    files.AddFile(QStringLiteral("Gr\u00fc\u00dfe \u20ac\nSnow \u2603"), QStringLiteral("a.txt"),
                  true);
    files.SaveFiles(folderOf(dir), log);
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("a.txt"))), QByteArray("Gr\xfc\xdf"
                                                                         "e \x80\r\nSnow ?\r\n"));
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(TextFiles, ExistingFileIsReplacedOnlyWhenOverwriteIsSet)
{
    struct Case {
        bool overwrite;
        QByteArray expected;
    } const cases[] = {{false, "old"}, {true, "new\r\n"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.overwrite);
        QTemporaryDir dir;
        writeAll(dir.filePath(QStringLiteral("f.txt")), "old");
        RunLog log;
        TTextFiles files;
        files.AddFile(QStringLiteral("new"), QStringLiteral("f.txt"), c.overwrite);
        files.SaveFiles(folderOf(dir), log);
        EXPECT_EQ(readAll(dir.filePath(QStringLiteral("f.txt"))), c.expected);
    }
}

TEST(TextFiles, RepeatedNameFirstCreatesSecondNeedsOverwrite)
{
    struct Case {
        bool secondOverwrites;
        QByteArray expected;
    } const cases[] = {{false, "one\r\n"}, {true, "two\r\n"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.secondOverwrites);
        QTemporaryDir dir;
        RunLog log;
        TTextFiles files;
        files.AddFile(QStringLiteral("one"), QStringLiteral("f.txt"), false);
        files.AddFile(QStringLiteral("two"), QStringLiteral("f.txt"), c.secondOverwrites);
        files.SaveFiles(folderOf(dir), log);
        EXPECT_EQ(readAll(dir.filePath(QStringLiteral("f.txt"))), c.expected);
    }
}

TEST(TextFiles, NameLeavingTheFolderIsRefusedAndTheOthersAreWritten)
{
    QTemporaryDir outer;
    QDir(outer.path()).mkdir(QStringLiteral("project"));
    const QString project = outer.filePath(QStringLiteral("project")) + u'/';
    const QString refused[] = {
        QStringLiteral("../escape.txt"),  QStringLiteral("sub/../../escape.txt"),
        QStringLiteral("..\\escape.txt"), outer.filePath(QStringLiteral("abs.txt")),
        QStringLiteral("\\abs.txt"),      QStringLiteral("C:abs.txt"),
    };
    RunLog log;
    TTextFiles files;
    for (const QString &name : refused)
        files.AddFile(QStringLiteral("bad"), name, true);
    files.AddFile(QStringLiteral("good"), QStringLiteral("ok..txt"), true);
    files.SaveFiles(project, log);

    EXPECT_EQ(readAll(project + QStringLiteral("ok..txt")), QByteArray("good\r\n"));
    EXPECT_FALSE(QFile::exists(outer.filePath(QStringLiteral("escape.txt"))));
    EXPECT_FALSE(QFile::exists(outer.filePath(QStringLiteral("abs.txt"))));
    ASSERT_EQ(log.lines().size(), std::size(refused));
    for (qsizetype i = 0; i < log.lines().size(); ++i)
        EXPECT_TRUE(log.lines()[i].endsWith(TTextFiles::nameLeavesFolder(refused[i])));
}

TEST(TextFiles, UnwritableFileThrowsNamingThePathAndStops)
{
    QTemporaryDir dir;
    RunLog log;
    TTextFiles files;
    files.AddFile(QStringLiteral("x"), QStringLiteral("missing/sub.txt"), true);
    files.AddFile(QStringLiteral("y"), QStringLiteral("after.txt"), true);
    try {
        files.SaveFiles(folderOf(dir), log);
        FAIL() << "no failure";
    } catch (const Failure &f) {
        EXPECT_TRUE(f.message().contains(QStringLiteral("missing/sub.txt"))) << f.what();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("after.txt"))));
}

} // namespace
