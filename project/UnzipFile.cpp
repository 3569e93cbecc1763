#include "project/UnzipFile.h"

#include "common/Failure.h"
#include "common/ProjectTextFile.h"
#include "workbook/ZipArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// No file of a project template comes near this; more is damage or a zip bomb.
constexpr qint64 kMaxEntryBytes = 256ll * 1024 * 1024;

QStringList entryParts(const QString &name)
{
    return QString(name).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
}

bool leavesDestination(const QString &name)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (name.startsWith(u'/') || name.startsWith(u'\\') || drive.match(name).hasMatch())
        return true;
    return entryParts(name).contains(QStringLiteral(".."));
}

bool matchesFilter(const QString &name, const QString &filter)
{
    if (filter.isEmpty())
        return true;
    const QStringList parts = entryParts(name);
    const QRegularExpression pattern =
        QRegularExpression::fromWildcard(filter, Qt::CaseInsensitive);
    return !parts.isEmpty() && pattern.match(parts.front()).hasMatch();
}

void makeFolder(const QString &path, const QString &zipFile)
{
    if (!QDir().mkpath(path))
        throw Failure(zipFile + QStringLiteral(": cannot create the folder ") + path);
}

} // namespace

bool UnzipFile(const QString &ZipFile, const QString &DestFolder, const QString &Filter)
{
    const ZipArchive archive(ZipFile, ZipArchive::Check::Lenient);
    const QStringList names = archive.names();
    for (const QString &name : names) {
        if (leavesDestination(name))
            throw Failure(ZipFile + QStringLiteral(": the entry \"") + name +
                          QStringLiteral("\" would be written outside ") + DestFolder);
    }
    const QDir destination(DestFolder);
    makeFolder(destination.path(), ZipFile);
    for (const QString &name : names) {
        if (!matchesFilter(name, Filter))
            continue;
        const QString target = destination.filePath(entryParts(name).join(u'/'));
        if (name.endsWith(u'/') || name.endsWith(u'\\')) {
            makeFolder(target, ZipFile);
            continue;
        }
        makeFolder(QFileInfo(target).path(), ZipFile);
        writeFileAtomically(target, archive.read(name, kMaxEntryBytes));
    }
    return true;
}
