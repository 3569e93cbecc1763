#include "project/MultiTaskProject.h"

#include "common/Failure.h"
#include "common/ProjectTextFile.h"
#include "project/ProjectPath.h"
#include "project/UnzipFile.h"
#include "workbook/ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>

// The packed workspace, embedded at build time.
extern const unsigned char kMultiTaskTemplateZip[];
extern const std::size_t kMultiTaskTemplateZip_size;

namespace {

const QString kTemplateFolder = QStringLiteral("MTaskTmpl");
// A workspace holds a handful of folders; a deeper tree is not ours.
constexpr int kMaxMoveDepth = 32;

// Moves the folder `from` to `to`, which must not exist: a rename where the file system
// allows it, else a copy of every file and sub-folder followed by removing the source.
void moveFolder(const QString &from, const QString &to, int depth = 0)
{
    const QFileInfo target(to);
    if (target.exists() || target.isSymLink())
        throw Failure(QStringLiteral("Cannot move ") + from + QStringLiteral(" to ") + to +
                      QStringLiteral(": the folder exists already"));
    if (depth == 0 && QDir().rename(from, to))
        return;
    if (depth > kMaxMoveDepth || !QDir().mkpath(to))
        throw Failure(QStringLiteral("Cannot create the folder ") + to);
    const QDir source(from);
    const auto entries =
        source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString destination = QDir(to).filePath(entry.fileName());
        if (entry.isDir() && !entry.isSymLink())
            moveFolder(entry.filePath(), destination, depth + 1);
        else if (!QFile::copy(entry.filePath(), destination))
            throw Failure(QStringLiteral("Cannot copy ") + entry.filePath() +
                          QStringLiteral(" to ") + destination);
    }
    if (depth == 0 && !QDir(from).removeRecursively())
        throw Failure(QStringLiteral("Cannot remove the folder ") + from);
}

bool renameTemplateFile(const QString &dir, const QString &name, const char *extension,
                        MultiTaskWorkspace &out)
{
    const QString wanted = name + QLatin1String(extension);
    const QString source = dir + kTemplateFolder + QLatin1String(extension);
    const QString target = dir + wanted;
    if (source == target)
        return true;
    QFile::remove(target); // a renamed file replaces one left by an earlier attempt
    if (QFile::rename(source, target))
        return true;
    out.Msg = QStringLiteral("Not able to rename file to ") + wanted;
    return false;
}

struct WorkspacePaths {
    QString path, base, mainTask, name, parent;
};

WorkspacePaths workspacePaths(const QString &ProjectPath)
{
    WorkspacePaths p;
    p.path = QDir::cleanPath(ProjectPath);
    p.base = folderWithSeparator(p.path);
    p.mainTask = p.base + QStringLiteral("MainTask");
    const QFileInfo info(p.path);
    p.name = info.fileName();
    p.parent = p.path.contains(u'/') ? folderWithSeparator(info.path()) : QString();
    return p;
}

void succeed(const WorkspacePaths &p, const QString &message, MultiTaskWorkspace &out)
{
    out.Msg = message;
    out.WorkspaceFile = p.base + p.name + QStringLiteral(".w5l");
    out.MainTaskFolder = p.mainTask;
}

QString invalidFolder(const QString &ProjectPath)
{
    return QStringLiteral("Invalid project folder specified:\"") + ProjectPath + u'"';
}

const QString kCreated = QStringLiteral("MultiTasking template created successfully");

} // namespace

bool PlanMultiTaskProject(const QString &ProjectPath, MultiTaskWorkspace &out, bool &unpacks)
{
    out = MultiTaskWorkspace();
    const WorkspacePaths p = workspacePaths(ProjectPath);
    unpacks = !QFileInfo(p.mainTask).isDir();
    if (!unpacks) {
        succeed(p, QString(), out);
        return true;
    }
    if (p.parent.isEmpty() || p.name.isEmpty() || QFileInfo(p.path).exists()) {
        // an existing folder without MainTask makes the move into place fail
        out.Msg = p.parent.isEmpty() || p.name.isEmpty()
                      ? invalidFolder(ProjectPath)
                      : QStringLiteral("Cannot move ") + p.parent + kTemplateFolder +
                            QStringLiteral(" to ") + p.path +
                            QStringLiteral(": the folder exists already");
        return false;
    }
    succeed(p, kCreated, out);
    return true;
}

std::vector<std::pair<QString, QByteArray>> MultiTaskWorkspaceFiles(const QString &ProjectPath)
{
    const WorkspacePaths p = workspacePaths(ProjectPath);
    const ZipArchive zip(
        QStringLiteral("MTaskTmpl.zip"),
        QByteArray::fromRawData(reinterpret_cast<const char *>(kMultiTaskTemplateZip),
                                qsizetype(kMultiTaskTemplateZip_size)),
        ZipArchive::Check::Lenient);
    const QString top = kTemplateFolder + u'/';
    std::vector<std::pair<QString, QByteArray>> files;
    for (const QString &entry : zip.names()) {
        if (!entry.startsWith(top) || entry.endsWith(u'/'))
            continue; // folders, and nothing of ours outside the workspace folder
        QString name = entry.mid(top.size());
        for (const char *extension : {".arc", ".w5l"}) {
            if (name == kTemplateFolder + QLatin1String(extension))
                name = p.name + QLatin1String(extension);
        }
        files.emplace_back(p.base + name, zip.read(entry));
    }
    return files;
}

void ExtractTemplateResource(const QString &ZipFile)
{
    writeFileAtomically(ZipFile, QByteArray(reinterpret_cast<const char *>(kMultiTaskTemplateZip),
                                            qsizetype(kMultiTaskTemplateZip_size)));
}

bool CreateMultiTaskProject(const QString &ProjectPath, MultiTaskWorkspace &out)
{
    out = MultiTaskWorkspace();
    const WorkspacePaths p = workspacePaths(ProjectPath);
    const QString &path = p.path, &name = p.name, &parent = p.parent;
    if (QFileInfo(p.mainTask).isDir()) {
        succeed(p, QString(), out);
        return true;
    }
    if (parent.isEmpty() || name.isEmpty() || !QDir().mkpath(parent)) {
        out.Msg = invalidFolder(ProjectPath);
        return false;
    }
    const QString zip = parent + QStringLiteral("MTaskTmpl.zip");
    try {
        ExtractTemplateResource(zip);
        UnzipFile(zip, parent);
    } catch (const Failure &e) {
        out.Msg = e.message();
        return false;
    }
    QFile::remove(zip);
    const QString dir = parent + kTemplateFolder + u'/';
    if (!renameTemplateFile(dir, name, ".arc", out) || !renameTemplateFile(dir, name, ".w5l", out))
        return false;
    try {
        moveFolder(parent + kTemplateFolder, path);
    } catch (const Failure &e) {
        out.Msg = e.message();
        return false;
    }
    succeed(p, kCreated, out);
    return true;
}
