#pragma once

#include <QByteArray>
#include <QString>

class ProjectFileBatch;

// The files of a project folder that a build writes itself (program sources, appli.EQV,
// appli.CPO, the template's text files, appli.xml). A build goes through the disk; a plan goes
// through a recorder that keeps every write in memory and reads back what it kept, so the
// build's own code runs as it is and nothing reaches the folder.
class ProjectFiles {
public:
    virtual ~ProjectFiles() = default;

    virtual bool exists(const QString &path) const = 0;
    // Throws Failure naming the file when it cannot be read.
    virtual QByteArray read(const QString &path) const = 0;
    // Replaces the file atomically; throws Failure naming the file and the problem.
    virtual void write(const QString &path, const QByteArray &bytes) = 0;
    // Writes every file of the batch together (ProjectFileBatch::commit).
    virtual void writeBatch(ProjectFileBatch &batch) = 0;
    // False when the file could not be removed; a missing file is no failure.
    virtual bool remove(const QString &path) = 0;
    // Makes the folder with its missing parents; false when it could not.
    virtual bool makeFolder(const QString &path) = 0;

    // The project folder on disk.
    static ProjectFiles &disk();
};
