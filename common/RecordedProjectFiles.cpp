#include "common/RecordedProjectFiles.h"

#include "common/Failure.h"
#include "common/ProjectFileBatch.h"

#include <QDir>
#include <QFileInfo>

bool RecordedProjectFiles::exists(const QString &path) const
{
    const auto it = m_content.constFind(path);
    if (it != m_content.constEnd())
        return it->has_value();
    return disk().exists(path);
}

QByteArray RecordedProjectFiles::read(const QString &path) const
{
    const auto it = m_content.constFind(path);
    if (it == m_content.constEnd())
        return disk().read(path);
    if (!it->has_value())
        throw Failure(path + QStringLiteral(": No such file or directory"));
    return **it;
}

void RecordedProjectFiles::write(const QString &path, const QByteArray &bytes)
{
    record(path, bytes);
}

void RecordedProjectFiles::writeBatch(ProjectFileBatch &batch)
{
    for (auto &[path, bytes] : batch.takeFiles())
        record(path, std::move(bytes));
}

bool RecordedProjectFiles::remove(const QString &path)
{
    if (exists(path))
        record(path, std::nullopt);
    return true;
}

bool RecordedProjectFiles::makeFolder(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    if (!QFileInfo(clean).isDir() && !m_folders.contains(clean))
        m_folders << clean;
    return true;
}

void RecordedProjectFiles::record(const QString &path, std::optional<QByteArray> content)
{
    if (!m_content.contains(path))
        m_order << path;
    m_content.insert(path, std::move(content));
}

std::vector<RecordedProjectFiles::Change> RecordedProjectFiles::changes() const
{
    std::vector<Change> out;
    out.reserve(std::size_t(m_order.size()));
    for (const QString &path : m_order) {
        Change change{path, std::nullopt, m_content.value(path)};
        if (disk().exists(path)) {
            try {
                change.before = disk().read(path);
            } catch (const Failure &) {
                change.before = QByteArray(); // unreadable now: shown as empty
            }
        }
        out.push_back(std::move(change));
    }
    return out;
}
