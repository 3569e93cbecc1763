#include "template/TTextFiles.h"

#include "common/ProjectFiles.h"
#include "common/ProjectTextFile.h"
#include "common/RunLog.h"
#include "template/TextLines.h"

#include <QRegularExpression>

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
    SaveFiles(FilePath, log, ProjectFiles::disk());
}

void TTextFiles::SaveFiles(const QString &FilePath, RunLog &log, ProjectFiles &files) const
{
    for (const Entry &entry : m_entries) {
        if (leavesFolder(entry.name)) {
            log.LogError(nameLeavesFolder(entry.name));
            continue;
        }
        const QString path = FilePath + entry.name;
        if (entry.item.Overwrite || !files.exists(path))
            files.write(path, projectFileBytes(entry.item.RE));
    }
}
