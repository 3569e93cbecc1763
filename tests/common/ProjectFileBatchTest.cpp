#include "common/ProjectFileBatch.h"

#include "common/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <sys/stat.h>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeContent(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(ProjectFileBatch, ReplacesEveryFileAndLeavesNoTemporaryBehind)
{
    QTemporaryDir dir;
    writeContent(dir.filePath("a.st"), "old a");
    ProjectFileBatch batch;
    batch.add(dir.filePath("a.st"), "new a");
    batch.add(dir.filePath("b.st"), "first b");
    batch.add(dir.filePath("b.st"), "last b"); // the later content wins
    batch.commit();
    EXPECT_TRUE(batch.isEmpty());
    EXPECT_EQ(contentOf(dir.filePath("a.st")), "new a");
    EXPECT_EQ(contentOf(dir.filePath("b.st")), "last b");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(ProjectFileBatch, AFileThatCannotBeWrittenReplacesNothing)
{
    QTemporaryDir dir;
    writeContent(dir.filePath("a.st"), "old a");
    ProjectFileBatch batch;
    batch.add(dir.filePath("a.st"), "new a");
    batch.add(dir.filePath("missing/b.st"), "b");
    try {
        batch.commit();
        ADD_FAILURE() << "a file in a missing folder was written";
    } catch (const Failure &e) {
        EXPECT_THAT(e.message().toStdString(), testing::HasSubstr("missing/b.st"));
    }
    EXPECT_EQ(contentOf(dir.filePath("a.st")), "old a");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.st"});
}

TEST(ProjectFileBatch, WhatIsNotCommittedIsDropped)
{
    QTemporaryDir dir;
    {
        ProjectFileBatch batch;
        batch.add(dir.filePath("a.st"), "a");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("a.st")));
}

TEST(ProjectFileBatch, AFileHoldingTheContentAlreadyIsNotRewritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.st");
    writeContent(path, "same");
    // Replacing the file would give it a new inode; a file left alone keeps its own.
    const auto inode = [&path] {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : ino_t(0);
    };
    const ino_t before = inode();
    ProjectFileBatch batch;
    batch.add(path, "same");
    batch.commit();
    EXPECT_EQ(inode(), before);
    EXPECT_EQ(contentOf(path), "same");
}
