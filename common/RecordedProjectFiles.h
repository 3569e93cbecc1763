#pragma once

#include "common/ProjectFiles.h"

#include <QHash>
#include <QStringList>

#include <optional>
#include <vector>

// Project files as a build would leave them, without a byte written: writes and removals are
// kept in memory, and reads see them; what was never written is read from the disk.
class RecordedProjectFiles final : public ProjectFiles {
public:
    // One file the build wrote or removed: its content on disk now and the content it would
    // have (none: missing).
    struct Change {
        QString path;
        std::optional<QByteArray> before;
        std::optional<QByteArray> after;
    };

    bool exists(const QString &path) const override;
    QByteArray read(const QString &path) const override;
    void write(const QString &path, const QByteArray &bytes) override;
    void writeBatch(ProjectFileBatch &batch) override;
    bool remove(const QString &path) override;
    bool makeFolder(const QString &path) override;

    // Every file written or removed, in the order of its first write, with both contents.
    std::vector<Change> changes() const;
    // The folders a build would make, in order.
    const QStringList &foldersMade() const { return m_folders; }

private:
    void record(const QString &path, std::optional<QByteArray> content);

    QStringList m_order;
    QHash<QString, std::optional<QByteArray>> m_content;
    QStringList m_folders;
};
