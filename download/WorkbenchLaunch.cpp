#include "download/WorkbenchLaunch.h"

#include "common/UserPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString kWorkbench = QStringLiteral("W6Main.exe");

// The shell's codes for a start that failed.
constexpr int kFileNotFound = 2;
constexpr int kAccessDenied = 5;
constexpr int kCannotStart = 31;
constexpr int kStarted = 33;

// A bare name is looked for along the search path, as the shell does.
QString resolveProgram(const QString &file)
{
    if (file.contains(u'/'))
        return file;
    return QStandardPaths::findExecutable(file);
}

QString ownFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() + u'/' : QString();
}

QString failureText(const QString &path, int code)
{
    return QStringLiteral("Unable to start STRATON at\r%1\rerror code %2\r").arg(path).arg(code);
}

} // namespace

int LaunchProgram(const QString &File, const QString &Argument, const QString &Folder)
{
    const QString program = resolveProgram(File);
    const QFileInfo info(program);
    if (program.isEmpty() || !info.exists())
        return kFileNotFound;
    if (info.isDir() || !info.isExecutable())
        return kAccessDenied;
    return QProcess::startDetached(program, {Argument}, Folder) ? kStarted : kCannotStart;
}

bool StartWorkbench(const QString &ProjectPath, UserPrompts &prompts, const QString &programFolder)
{
    const QString first = (programFolder.isEmpty() ? ownFolder() : programFolder) + kWorkbench;
    const int firstResult = LaunchProgram(first, ProjectPath, QString());
    if (firstResult > 32)
        return true;
    const QString second = qEnvironmentVariable("K5MAIN") + kWorkbench;
    const int secondResult = LaunchProgram(second, ProjectPath, QString());
    if (secondResult > 32)
        return true;
    prompts.message(QStringLiteral("Tessily"), QStringLiteral("%1 and at\r%2\rerror code %3\r")
                                                   .arg(failureText(first, firstResult), second)
                                                   .arg(secondResult));
    return false;
}
