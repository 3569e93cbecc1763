#include "common/RunLog.h"
#include "app/LogFile.h"
#include "common/UserPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct RecordingPrompts final : UserPrompts {
    QStringList shown;
    void message(const QString &caption, const QString &text) override
    {
        shown << caption + QStringLiteral(": ") + text;
    }
};

// Points the temporary folder and the editor at test-owned places for one test.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

TEST(RunLog, LineStartsWithZeroPaddedTimeAndTwoBlanks)
{
    const struct {
        QTime time;
        QString text;
        QString line;
    } cases[] = {
        {QTime(9, 5, 3, 7), "Attaching to EXCEL", "09:05:03.007  Attaching to EXCEL"},
        {QTime(23, 59, 59, 999), "late", "23:59:59.999  late"},
        {QTime(0, 0, 0, 0), "after midnight", "00:00:00.000  after midnight"},
        {QTime(12, 0, 0, 0), "", "12:00:00.000  "},
        {QTime(1, 2, 3, 4), "  kept as is  ", "01:02:03.004    kept as is  "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        RunLog log;
        log.setClock([&] { return c.time; });
        log.LogLine(c.text);
        ASSERT_EQ(log.lines().size(), 1);
        EXPECT_EQ(log.lines().front(), c.line);
    }
}

TEST(RunLog, ErrorLinesLookLikeOtherLinesAndObserversSeeEachLineAsWritten)
{
    RunLog log;
    log.setClock([] { return QTime(10, 0); });
    QStringList seen;
    QObject::connect(&log, &RunLog::lineAdded, [&](const QString &l) { seen << l; });
    log.LogLine("one");
    EXPECT_EQ(seen.size(), 1);
    log.LogError("two");
    EXPECT_EQ(seen, (QStringList{"10:00:00.000  one", "10:00:00.000  two"}));
    EXPECT_EQ(log.lines(), seen);
    log.clear();
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(LogFile, SavesLinesWithCrLfAndNoByteOrderMarkReplacingTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("LOG.TXT");
    saveLogFile({"first", "second"}, path);
    saveLogFile({"only"}, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("only\r\n"));
}

TEST(LogFile, EmptyLogGivesAnEmptyFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("LOG.TXT");
    saveLogFile({}, path);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST(LogFile, LogFileLivesInTheTemporaryFolder)
{
    QTemporaryDir dir;
    ScopedEnv tmp("TMPDIR", QFile::encodeName(dir.path()));
    EXPECT_EQ(logFilePath(), QDir(dir.path()).filePath("LOG.TXT"));
}

TEST(LogFile, EditorIsVisualThenEditorThenTheDesktopOpener)
{
    {
        ScopedEnv visual("VISUAL", "myedit --wait");
        EXPECT_EQ(editorCommand("/t/LOG.TXT"), (QStringList{"myedit", "--wait", "/t/LOG.TXT"}));
    }
    {
        ScopedEnv visual("VISUAL", "");
        ScopedEnv editor("EDITOR", "nano");
        EXPECT_EQ(editorCommand("/t/LOG.TXT"), (QStringList{"nano", "/t/LOG.TXT"}));
    }
    {
        ScopedEnv visual("VISUAL", "");
        ScopedEnv editor("EDITOR", "");
        EXPECT_EQ(editorCommand("/t/LOG.TXT"), (QStringList{"xdg-open", "/t/LOG.TXT"}));
    }
}

TEST(OpenLogInEditor, StartsTheEditorOnTheSavedFile)
{
    QTemporaryDir dir;
    ScopedEnv tmp("TMPDIR", QFile::encodeName(dir.path()));
    // The "editor" copies the file it is given, so the test sees what it was started on.
    const QString script = dir.filePath("editor.sh");
    QFile s(script);
    ASSERT_TRUE(s.open(QIODevice::WriteOnly));
    s.write("#!/bin/sh\ncp \"$1\" \"$1.seen\"\n");
    s.close();
    s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ScopedEnv visual("VISUAL", QFile::encodeName(script));

    RunLog log;
    log.setClock([] { return QTime(9, 5, 3, 7); });
    log.LogLine("hello");
    RecordingPrompts prompts;
    OpenLogInEditor(log, prompts);
    EXPECT_TRUE(prompts.shown.isEmpty());
    const QString seen = dir.filePath("LOG.TXT.seen");
    for (int i = 0; i < 200 && !QFile::exists(seen); ++i)
        QThread::msleep(10);
    QFile f(seen);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("09:05:03.007  hello\r\n"));
}

TEST(OpenLogInEditor, EditorThatCannotStartGivesErrorNumberMessage)
{
    QTemporaryDir dir;
    ScopedEnv tmp("TMPDIR", QFile::encodeName(dir.path()));
    ScopedEnv visual("VISUAL", "/no/such/editor");
    RunLog log;
    RecordingPrompts prompts;
    OpenLogInEditor(log, prompts);
    EXPECT_EQ(prompts.shown, (QStringList{"Error: Error 2 returned"}));
    EXPECT_TRUE(QFile::exists(dir.filePath("LOG.TXT"))); // the saved file stays
}

TEST(OpenLogInEditor, UnwritableFileBecomesALogLineAndNoEditorStarts)
{
    QTemporaryDir dir;
    ScopedEnv tmp("TMPDIR", QFile::encodeName(dir.path()));
    // A folder where the file should be: no user, root included, can write the file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("LOG.TXT"));
    ScopedEnv visual("VISUAL", "/no/such/editor");
    RunLog log;
    RecordingPrompts prompts;
    OpenLogInEditor(log, prompts);
    EXPECT_TRUE(prompts.shown.isEmpty());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().front().contains("LOG.TXT"));
}

} // namespace
