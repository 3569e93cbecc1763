#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class ProjectFiles;
class RunLog;

// One text file a program asks to be written into the project folder.
struct TTextFileItem {
    QStringList RE; // its lines
    bool Overwrite = false;
};

class TTextFiles {
public:
    struct Entry {
        QString name;
        TTextFileItem item;
    };

    // Appends a file; its content is split into lines and unindented.
    void AddFile(const QString &FileContent, const QString &FileName, bool Overwrite);
    // Writes every entry, in order, to `FilePath` followed directly by its name (the folder
    // ends with a separator): Windows-1252, CR LF, atomically. A file that exists is replaced
    // only when its entry says Overwrite. A name that would leave the folder is not written;
    // an error line names it and the other entries are written. A file that cannot be
    // written throws Failure, and the entries after it are not written.
    void SaveFiles(const QString &FilePath, RunLog &log) const;
    void SaveFiles(const QString &FilePath, RunLog &log, ProjectFiles &files) const;
    void Clear() { m_entries.clear(); }

    const std::vector<Entry> &entries() const { return m_entries; }

    // The error line for a refused name.
    static QString nameLeavesFolder(const QString &name);

private:
    std::vector<Entry> m_entries; // a name may occur more than once
};
