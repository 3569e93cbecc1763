#pragma once

#include <QString>
#include <QStringList>
#include <vector>

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
    // Writes every entry into the folder `FilePath` (which ends with a separator), in order;
    // a file that exists is replaced only when its entry says Overwrite.
    void SaveFiles(const QString &FilePath) const;
    void Clear() { m_entries.clear(); }

    const std::vector<Entry> &entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries; // a name may occur more than once
};
