#include "common/RecordedProjectFiles.h"
#include "common/Failure.h"
#include "common/ProjectFileBatch.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A folder holding one file, "old.txt", and nothing else.
struct Folder {
    QTemporaryDir dir;
    Folder()
    {
        QFile f(path("old.txt"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QStringList names() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST(RecordedProjectFiles, ReadsSeeWhatWasWrittenAndRemovedAndTheDiskStaysAsItWas)
{
    Folder folder;
    RecordedProjectFiles files;
    files.write(folder.path("new.txt"), "new");
    files.write(folder.path("old.txt"), "changed");
    ProjectFileBatch batch;
    batch.add(folder.path("batch.st"), "batch");
    files.writeBatch(batch);
    EXPECT_TRUE(batch.isEmpty());
    EXPECT_EQ(files.read(folder.path("old.txt")), "changed");
    EXPECT_EQ(files.read(folder.path("batch.st")), "batch");
    EXPECT_TRUE(files.makeFolder(folder.path("sub/deeper")));

    files.remove(folder.path("new.txt"));
    EXPECT_FALSE(files.exists(folder.path("new.txt")));
    EXPECT_THROW(files.read(folder.path("new.txt")), Failure);
    files.remove(folder.path("never.txt")); // a missing file is no change

    EXPECT_EQ(folder.names(), QStringList{"old.txt"});
    EXPECT_EQ(files.foldersMade(), QStringList{QDir::cleanPath(folder.path("sub/deeper"))});
    const auto changes = files.changes();
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].path, folder.path("new.txt"));
    EXPECT_FALSE(changes[0].before.has_value());
    EXPECT_FALSE(changes[0].after.has_value()); // written, then removed: missing as before
    EXPECT_EQ(changes[1].before.value_or("<none>"), "old");
    EXPECT_EQ(changes[1].after.value_or("<none>"), "changed");
    EXPECT_EQ(changes[2].after.value_or("<none>"), "batch");
}
