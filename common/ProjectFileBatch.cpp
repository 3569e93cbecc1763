#include "common/ProjectFileBatch.h"

#include "common/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Flushes everything written to the file system that holds `folder`; false when it could not.
bool flushFileSystem(const QString &folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
#ifdef __linux__
    const bool ok = ::syncfs(fd) == 0;
#else
    ::sync();
    const bool ok = ::fsync(fd) == 0;
#endif
    ::close(fd);
    return ok;
}

// A file that already holds exactly the new content is left as it is: rewriting it would only
// cost a flush and a rename.
bool holdsAlready(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size())
        return false;
    return file.readAll() == bytes;
}

} // namespace

ProjectFileBatch::~ProjectFileBatch()
{
    removeTemporaries();
}

void ProjectFileBatch::add(const QString &path, QByteArray bytes)
{
    for (File &file : m_files) {
        if (file.path == path) {
            file.bytes = std::move(bytes);
            return;
        }
    }
    m_files.push_back({path, std::move(bytes), QString()});
}

std::vector<std::pair<QString, QByteArray>> ProjectFileBatch::takeFiles()
{
    std::vector<std::pair<QString, QByteArray>> files;
    files.reserve(m_files.size());
    for (File &file : m_files)
        files.emplace_back(std::move(file.path), std::move(file.bytes));
    m_files.clear();
    return files;
}

void ProjectFileBatch::writeTemporary(File &file)
{
    const QFileInfo target(file.path);
    const QString temporary = target.dir().filePath(QStringLiteral(".") + target.fileName() +
                                                    QStringLiteral(".tessily-new"));
    QFile out(temporary);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Failure(file.path + QStringLiteral(": ") + out.errorString());
    file.temporary = temporary;
    if (out.write(file.bytes) != file.bytes.size() || !out.flush())
        throw Failure(file.path + QStringLiteral(": ") + out.errorString());
    out.close();
    if (out.error() != QFileDevice::NoError)
        throw Failure(file.path + QStringLiteral(": ") + out.errorString());
}

void ProjectFileBatch::removeTemporaries()
{
    for (File &file : m_files) {
        if (!file.temporary.isEmpty())
            QFile::remove(file.temporary);
        file.temporary.clear();
    }
}

void ProjectFileBatch::commit()
{
    QSet<QString> folders;
    try {
        std::erase_if(m_files,
                      [](const File &file) { return holdsAlready(file.path, file.bytes); });
        for (File &file : m_files) {
            writeTemporary(file);
            folders.insert(QFileInfo(file.path).absolutePath());
        }
        for (const QString &folder : folders) {
            if (!flushFileSystem(folder))
                throw Failure(folder +
                              QStringLiteral(": cannot flush the written files to disk (") +
                              systemError(errno) + u')');
        }
        for (File &file : m_files) {
            if (::rename(QFile::encodeName(file.temporary).constData(),
                         QFile::encodeName(file.path).constData()) != 0)
                throw Failure(file.path + QStringLiteral(": ") + systemError(errno));
            file.temporary.clear();
        }
    } catch (...) {
        removeTemporaries();
        m_files.clear();
        throw;
    }
    for (const QString &folder : folders)
        flushFileSystem(folder); // the renames themselves; the contents are safe already
    m_files.clear();
}
