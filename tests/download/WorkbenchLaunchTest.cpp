#include "download/WorkbenchLaunch.h"

#include "support/RecordingPrompts.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// A stand-in workbench: writes how many arguments it got and the first one beside itself.
void writeWorkbench(const QString &folder)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath("W6Main.exe");
    QFile script(path);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"$(dirname \"$0\")/args.tmp\"\n"
                 "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args.txt\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
}

// What the stand-in was started with; empty when it was not started within a few seconds.
QByteArray startedWith(const QString &folder)
{
    QFile args(QDir(folder).filePath("args.txt"));
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(20)) {
        if (args.open(QIODevice::ReadOnly))
            return args.readAll();
    }
    return {};
}

struct EnvironmentVariable {
    QByteArray name, old;
    bool was;
    EnvironmentVariable(const char *n, const QByteArray *value)
        : name(n), old(qgetenv(n)), was(qEnvironmentVariableIsSet(n))
    {
        if (value)
            qputenv(n, *value);
        else
            qunsetenv(n);
    }
    ~EnvironmentVariable()
    {
        if (was)
            qputenv(name.constData(), old);
        else
            qunsetenv(name.constData());
    }
};

} // namespace

TEST(StartWorkbench, StartsTheWorkbenchBesideTheGeneratorWithThePathAsOneArgument)
{
    QTemporaryDir dir;
    const QString own = dir.filePath("bin/");
    writeWorkbench(own);
    RecordingPrompts prompts;
    const EnvironmentVariable k5main("K5MAIN", nullptr);
    EXPECT_TRUE(StartWorkbench("/projects/My Plant/Plant.w5l", prompts, own));
    EXPECT_EQ(startedWith(own), "1\n/projects/My Plant/Plant.w5l\n");
    EXPECT_THAT(prompts.texts, IsEmpty());
}

TEST(StartWorkbench, TriesTheFolderK5MainNamesSecond)
{
    QTemporaryDir dir;
    const QString installed = dir.filePath("straton/");
    writeWorkbench(installed);
    const QByteArray value = installed.toLocal8Bit();
    const EnvironmentVariable k5main("K5MAIN", &value);
    RecordingPrompts prompts;
    EXPECT_TRUE(StartWorkbench("/projects/Plant", prompts, dir.filePath("bin/")));
    EXPECT_EQ(startedWith(installed), "1\n/projects/Plant\n");
    EXPECT_THAT(prompts.texts, IsEmpty());
}

TEST(StartWorkbench, WhenBothFailAMessageSaysWhereItLooked)
{
    QTemporaryDir dir;
    const QString own = dir.filePath("bin/");
    struct Case {
        const char *k5main; // null: unset
        QString second;
        int code;
    };
    writeWorkbench(dir.filePath("straton")); // there, but K5MAIN lacks the separator
    const QByteArray noSeparator = dir.filePath("straton").toLocal8Bit();
    const Case cases[] = {
        {nullptr, "W6Main.exe", 2}, // unset: the bare name along the search path
        {noSeparator.constData(), dir.filePath("stratonW6Main.exe"), 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.second.toStdString());
        const QByteArray value(c.k5main ? c.k5main : "");
        const EnvironmentVariable k5main("K5MAIN", c.k5main ? &value : nullptr);
        RecordingPrompts prompts;
        EXPECT_FALSE(StartWorkbench("/projects/Plant", prompts, own));
        EXPECT_THAT(prompts.texts, ElementsAre("Unable to start STRATON at\r" + own +
                                               "W6Main.exe\rerror code 2\r and at\r" + c.second +
                                               "\rerror code " + QString::number(c.code) + "\r"));
    }
}

TEST(LaunchProgram, ReportsAFileThatMayNotBeRun)
{
    QTemporaryDir dir;
    QFile plain(dir.filePath("W6Main.exe"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_EQ(LaunchProgram(dir.filePath("W6Main.exe"), "x", QString()), 5);
    EXPECT_EQ(LaunchProgram(dir.path(), "x", QString()), 5);
    EXPECT_EQ(LaunchProgram(dir.filePath("none"), "x", QString()), 2);
}
