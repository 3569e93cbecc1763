#include "template/TTextFiles.h"

#include "common/Failure.h"

void TTextFiles::AddFile(const QString &FileContent, const QString &FileName, bool Overwrite)
{
    // Line splitting and unindenting belong to the text operations of the descriptors.
    m_entries.push_back({FileName, {QStringList{FileContent}, Overwrite}});
}

void TTextFiles::SaveFiles(const QString &FilePath) const
{
    if (!m_entries.empty())
        throw Failure(FilePath + QStringLiteral(": writing text files is not built yet"));
}
