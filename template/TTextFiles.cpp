#include "template/TTextFiles.h"

#include "app/RunLog.h"
#include "common/Failure.h"
#include "common/Windows1252.h"
#include "template/TextLines.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

// The template names the file; a name that is absolute or climbs out with ".." would let a
// template write anywhere the user may write. Both separators count, as the template may
// have been written for Windows.
bool leavesFolder(const QString &name)
{
    if (name.startsWith(u'/') || name.startsWith(u'\\'))
        return true;
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (drive.match(name).hasMatch())
        return true;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = name.split(separators);
    return parts.contains(QStringLiteral(".."));
}

// The workbench reads project files as Windows-1252 with CR LF after every line; a
// byte-order mark would appear as stray characters at the top of the file.
QByteArray fileBytes(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return toWindows1252(text);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(path + QStringLiteral(": ") + file.errorString());
}

} // namespace

QString TTextFiles::nameLeavesFolder(const QString &name)
{
    return QStringLiteral("Text file not written, its name leaves the project folder: ") + name;
}

void TTextFiles::AddFile(const QString &FileContent, const QString &FileName, bool Overwrite)
{
    TTextFileItem item;
    item.RE = splitTextLines(FileContent);
    UnindentLines(item.RE);
    item.Overwrite = Overwrite;
    m_entries.push_back({FileName, std::move(item)});
}

void TTextFiles::SaveFiles(const QString &FilePath, RunLog &log) const
{
    for (const Entry &entry : m_entries) {
        if (leavesFolder(entry.name)) {
            log.LogError(nameLeavesFolder(entry.name));
            continue;
        }
        const QString path = FilePath + entry.name;
        if (entry.item.Overwrite || !QFileInfo::exists(path))
            writeFile(path, fileBytes(entry.item.RE));
    }
}
