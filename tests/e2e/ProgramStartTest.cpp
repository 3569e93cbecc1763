#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gmock/gmock.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The shared libraries the dynamic loader would load for `program`, as ldd lists them.
QString loadedLibraries(const QString &program)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_TRACE_LOADED_OBJECTS"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start(program, {});
    p.waitForFinished(30000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The executable a running process runs now.
QString executableOf(qint64 pid)
{
    return QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
}

} // namespace

// A command loads no widget library: they would be a third of a dry run's memory.
TEST(ProgramStart, TheCommandLineLoadsNoWidgetLibraries)
{
    const QString command = loadedLibraries(QStringLiteral(TESSILY_BIN "/tessily"));
    ASSERT_THAT(command.toStdString(), HasSubstr("libQt6Core"));
    EXPECT_THAT(command.toStdString(), Not(HasSubstr("libQt6Widgets")));
    EXPECT_THAT(command.toStdString(), Not(HasSubstr("libQt6Gui")));
    const QString window = loadedLibraries(QStringLiteral(TESSILY_BIN "/tessily-window"));
    EXPECT_THAT(window.toStdString(), HasSubstr("libQt6Widgets"));
}

// Without arguments the program becomes the window's program, in the same process.
TEST(ProgramStart, WithoutArgumentsTheWindowStarts)
{
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home.path()); // its settings stay out of the user's
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TESSILY_BIN "/tessily"), {});
    ASSERT_TRUE(p.waitForStarted(10000));
    QString running;
    for (QDeadlineTimer deadline(20000); !deadline.hasExpired();) {
        running = executableOf(p.processId());
        if (running.endsWith(QStringLiteral("/tessily-window")) ||
            p.state() == QProcess::NotRunning)
            break;
        QThread::msleep(50);
    }
    EXPECT_TRUE(running.endsWith(QStringLiteral("/tessily-window"))) << running.toStdString();
    EXPECT_FALSE(p.waitForFinished(1000)) << "the window ended: " << p.readAll().toStdString();
    p.kill();
    p.waitForFinished(10000);
}

// A program copied without the window's program beside it says so instead of failing silently.
TEST(ProgramStart, AMissingWindowProgramIsNamed)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("tessily"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSILY_BIN "/tessily"), copy));
    QProcess p;
    p.start(copy, {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_THAT(err, HasSubstr("cannot start the window"));
    EXPECT_THAT(err, HasSubstr("tessily-window: No such file or directory"));
}
