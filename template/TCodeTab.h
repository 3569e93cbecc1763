#pragma once

#include "common/NamedList.h"
#include "template/TTextFiles.h"
#include "template/TUserInputType.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

// How a program is created in the project.
struct StratonRecord {
    QString FileName;
    QString SectionName;
    QString FolderName;
    QString Description;
    std::int32_t iSection = 0; // 1 begin, 2 SFC, 4 end, 8 child, 16 user-defined function block
    bool SubProgram = false;
    bool StructureType = false;
    std::uint32_t ScanPeriod = 0;
    std::uint32_t ScanPhase = 0;
    bool Enabled = false;
    bool Overwrite = false;
    bool UseMainVar = false;
    std::int32_t MaxIO = std::numeric_limits<std::int32_t>::max();
};

// A project folder to delete before the program is written.
struct FolderToDelete {
    QString name;
    bool recursive = false;
};

// One user-input entry: "name=sheet,row,col,default". The list is keyed by the name (the
// text before the first '='); `value` is the text after it, so name + '=' + value is the
// entry as written. The record is owned by the entry, or absent.
struct UserInputEntry {
    QString value;
    std::unique_ptr<TUserInputType> record;
};
using UserInputList = NamedList<UserInputEntry>;

// A program descriptor: a main program, function block, macro, code section or the
// generated main program, with everything the template says about it.
class TCodeTab {
public:
    explicit TCodeTab(const QString &name = QString());

    // Frees the user-input records and empties InputVariables, the four text lists,
    // DeleteFolderName, MainIncludeOptions and TextFiles; name, StratonInfo and IncludeFB stay.
    void Clear();
    // Frees each user-input record; the entries stay, as text.
    void InputVariablesObjectsFree();

    // An IncludeFB element's comma list replaces the earlier one; order and repeats stay.
    void setIncludeFB(const QString &commaText);
    // Adds an option word, keeping the list sorted (case-sensitive) and free of repeats.
    void addMainIncludeOption(const QString &word);

    QString name; // the caption of its page
    StratonRecord StratonInfo;
    std::vector<FolderToDelete> DeleteFolderName;
    QStringList MainIncludeOptions; // sorted, case-sensitive, no repeats
    TTextFiles TextFiles;
    QStringList reCode;
    QStringList reGloVar;
    QStringList reRetainVar;
    QStringList reLocVar;
    UserInputList InputVariables{NameOrder::Insertion, NameRepeats::Keep};
    QStringList IncludeFB; // unsorted, repeats kept
};

// The text of one user-input entry as the template wrote it.
inline QString userInputEntryText(const UserInputList &list, qsizetype i)
{
    return list.nameAt(i) + u'=' + list.valueAt(i).value;
}
