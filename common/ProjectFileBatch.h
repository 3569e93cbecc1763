#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// Many files replaced together, each atomically, with two flushes to disk for the whole set
// instead of one per file: every new content is written to a temporary file beside its
// target, all are flushed at once, then each is renamed over its target. After a crash each
// file holds either its old or its new content, never a part.
class ProjectFileBatch {
public:
    ProjectFileBatch() = default;
    ProjectFileBatch(const ProjectFileBatch &) = delete;
    ProjectFileBatch &operator=(const ProjectFileBatch &) = delete;
    ~ProjectFileBatch(); // what was added and not committed is dropped

    // A later content for the same path replaces the earlier one.
    void add(const QString &path, QByteArray bytes);
    bool isEmpty() const { return m_files.empty(); }
    // The files added and not committed, in order; the batch is empty afterwards.
    std::vector<std::pair<QString, QByteArray>> takeFiles();

    // Writes every file whose content differs from what it holds. On a failure nothing that was not
    // renamed yet is replaced, the temporary files are removed, and Failure names the file and the
    // problem.
    void commit();

private:
    struct File {
        QString path;
        QByteArray bytes;
        QString temporary;
    };
    void writeTemporary(File &file);
    void removeTemporaries();

    std::vector<File> m_files;
};
