#include "common/ProjectFiles.h"

#include "common/Failure.h"
#include "common/ProjectFileBatch.h"
#include "common/ProjectTextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class DiskFiles final : public ProjectFiles {
public:
    bool exists(const QString &path) const override { return QFileInfo::exists(path); }
    QByteArray read(const QString &path) const override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw Failure(path + QStringLiteral(": ") + file.errorString());
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw Failure(path + QStringLiteral(": ") + file.errorString());
        return bytes;
    }
    void write(const QString &path, const QByteArray &bytes) override
    {
        writeFileAtomically(path, bytes);
    }
    void writeBatch(ProjectFileBatch &batch) override { batch.commit(); }
    bool remove(const QString &path) override
    {
        return QFile::remove(path) || !QFileInfo::exists(path);
    }
    bool makeFolder(const QString &path) override { return QDir().mkpath(path); }
};

} // namespace

ProjectFiles &ProjectFiles::disk()
{
    static DiskFiles files;
    return files;
}
