#include "app/LogFile.h"

#include "common/Failure.h"
#include "common/RunLog.h"
#include "common/UserPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <cerrno>

QString logFilePath()
{
    return QDir(QDir::tempPath()).filePath(QStringLiteral("LOG.TXT"));
}

void saveLogFile(const QStringList &lines, const QString &path)
{
    QStringEncoder encode(QStringEncoder::System);
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += encode(line);
        bytes += "\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Failure(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size())
        throw Failure(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
    file.close();
}

QStringList editorCommand(const QString &file)
{
    for (const char *variable : {"VISUAL", "EDITOR"}) {
        const QString value = qEnvironmentVariable(variable).trimmed();
        if (!value.isEmpty()) {
            QStringList command = QProcess::splitCommand(value);
            if (!command.isEmpty())
                return command << file;
        }
    }
    return {QStringLiteral("xdg-open"), file};
}

int startDetached(const QStringList &command)
{
    if (command.isEmpty())
        return ENOENT;
    const QString program = QStandardPaths::findExecutable(command.front());
    const bool hasPath = command.front().contains(u'/');
    if (program.isEmpty() && !hasPath)
        return ENOENT;
    const QFileInfo info(program.isEmpty() ? command.front() : program);
    if (!info.exists())
        return ENOENT;
    if (!info.isExecutable())
        return EACCES;
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments(command.mid(1));
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        return errno != 0 ? errno : EIO;
    return 0;
}

void OpenLogInEditor(RunLog &log, UserPrompts &prompts)
{
    const QString path = logFilePath();
    try {
        saveLogFile(log.lines(), path);
    } catch (const Failure &e) {
        log.LogLine(e.message());
        return;
    }
    if (const int error = startDetached(editorCommand(path)); error != 0)
        prompts.message(QStringLiteral("Error"), QStringLiteral("Error %1 returned").arg(error));
}
