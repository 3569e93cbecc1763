#pragma once

#include "common/NamedList.h"
#include "interfaces/K5dbApi.h"

#include <QByteArray>
#include <QLibrary>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// The entry points of the project database library that the project writer calls, in the
// order they are bound. Each gets a pointer type T<name> and a field <name> in TK5DB.
#define TK5DB_ENTRY_POINTS(X)                                                                      \
    X(K5DB_OpenProject)                                                                            \
    X(K5DB_CreateProject)                                                                          \
    X(K5DB_SaveProject)                                                                            \
    X(K5DB_SetProjectModified)                                                                     \
    X(K5DB_GetProgramDesc)                                                                         \
    X(K5DB_GetTypeDesc)                                                                            \
    X(K5DB_GetVarDesc)                                                                             \
    X(K5DB_GetVarInitValue)                                                                        \
    X(K5DB_GetProperty)                                                                            \
    X(K5DB_GetFolderDesc)                                                                          \
    X(K5DB_Disconnect)                                                                             \
    X(K5DB_CloseProject)                                                                           \
    X(K5DB_FindProgram)                                                                            \
    X(K5DB_DeleteProgram)                                                                          \
    X(K5DB_LockProgram)                                                                            \
    X(K5DB_SaveProgramChanges)                                                                     \
    X(K5DB_UnlockProgram)                                                                          \
    X(K5DB_GetProgramPath)                                                                         \
    X(K5DB_SetProgramSchedule)                                                                     \
    X(K5DB_SetProgramOnCallFlag)                                                                   \
    X(K5DB_FindType)                                                                               \
    X(K5DB_FindGroup)                                                                              \
    X(K5DB_LockGroup)                                                                              \
    X(K5DB_UnlockGroup)                                                                            \
    X(K5DB_GetNbVar)                                                                               \
    X(K5DB_GetVars)                                                                                \
    X(K5DB_FindVarInGroup)                                                                         \
    X(K5DB_CreateVar)                                                                              \
    X(K5DB_DeleteVar)                                                                              \
    X(K5DB_SetVarInitValue)                                                                        \
    X(K5DB_SetProperty)                                                                            \
    X(K5DB_RemoveProperties)                                                                       \
    X(K5DB_SetComment)                                                                             \
    X(K5DB_GetComment)                                                                             \
    X(K5DB_GetCommentLength)                                                                       \
    X(K5DB_GetNbFolder)                                                                            \
    X(K5DB_GetFolders)                                                                             \
    X(K5DB_CreateFolder)                                                                           \
    X(K5DB_DeleteFolder)                                                                           \
    X(K5DB_GetNbFolderProg)                                                                        \
    X(K5DB_GetFolderProgs)                                                                         \
    X(K5DB_CreateProgramEx)

#define TK5DB_POINTER_TYPE(name) using T##name = decltype(&::name);
TK5DB_POINTER_TYPE(K5DB_Connect)
TK5DB_POINTER_TYPE(K5DB_OpenProjectCopy)
TK5DB_POINTER_TYPE(K5DB_GetGroupVarInfos)
TK5DB_ENTRY_POINTS(TK5DB_POINTER_TYPE)
#undef TK5DB_POINTER_TYPE

// The project database library K5DBSRV, bound at run time, with one remembered client and
// project. Texts go to the library as Windows-1252 and come back from it the same way. The
// methods check neither Result nor the handles: a user checks Result once, then connects.
class TK5DB {
public:
    using TLogMsg = std::function<void(const QString &Msg)>;
    // Names (or descriptions) with the handle of the object each belongs to, in the library's
    // order; looked up without regard to case.
    using HandleList = NamedList<quint32>;

    // Loads the library by its bare name, from the program's own folder first, then through
    // the system's search path, and binds every entry point. Never throws; Result tells.
    explicit TK5DB(const QString &libraryName = QStringLiteral("K5DBSRV"));
    ~TK5DB();
    TK5DB(const TK5DB &) = delete;
    TK5DB &operator=(const TK5DB &) = delete;

    static QByteArray ansiText(const QString &text);
    static QString nativeText(const char *text); // null reads as empty

    bool Connect(void *hwndCallback, quint32 msgCallback, quint32 dwFlags, quint32 dwData,
                 const QString &szClientName);
    void Disconnect();
    bool OpenProject(const QString &ProjectPath);
    // Opens a private copy of the project that nothing is written from, for a plan; false
    // also when the library offers no copies (K5DB_OpenProjectCopy is null).
    bool OpenProjectCopy(const QString &ProjectPath);
    quint32 CreateProject(const QString &ProjectPath);
    quint32 SaveProject();
    void CloseProject();
    bool SetProjectModified();

    quint32 FindProgram(const QString &ProgName);
    quint32 DeleteProgram(quint32 hProgram);
    quint32 CreateProgramEx(quint32 dwLanguage, quint32 dwSection, quint32 hParent,
                            const QString &ProgName, quint32 dwFlags, quint32 hParentFolder);
    quint32 SetProgramSchedule(quint32 hProgram, quint32 dwPeriod, quint32 dwOffset);
    quint32 SetProgramOnCallFlag(quint32 hProgram, quint32 dwOnCall);
    QString GetProgramPath(quint32 hProgram); // empty when the library refuses

    quint32 FindGroup(const QString &GroupName);
    quint32 LockGroup(quint32 hGroup);
    quint32 UnlockGroup(quint32 hGroup);
    quint32 FindType(const QString &TypeName);
    quint32 CreateVar(quint32 hGroup, quint32 dwPosID, quint32 hType, quint32 dwDim,
                      quint32 dwStringLength, quint32 dwFlags, const QString &VarName);
    quint32 FindVarInGroup(quint32 hGroup, const QString &VarName);
    quint32 DeleteVar(quint32 hGroup, quint32 hVar);
    QString GetVarDesc(quint32 hGroup, quint32 hVar, quint32 &hType, quint32 &dwDim,
                       quint32 &dwStringLength, quint32 &dwFlags);
    quint32 SetProperty(quint32 hObject, quint32 hProp, const QString &Value);
    // Throws Failure "Need buffer size of %d bytes in GetComment" for a comment of 2049 bytes
    // or more.
    QString GetComment(quint32 hObject, quint32 dwCommType);
    // Throws GetComment's Failure for a comment of `bytes` bytes that GetComment cannot read.
    static void CheckCommentLength(qsizetype bytes);
    // Every variable of a group with its comments and properties in one call; the texts stay
    // valid until the next call that returns text. False when the library offers no such
    // call (K5DB_GetGroupVarInfos is null) or refuses: the caller then reads one by one.
    bool GetGroupVarInfos(quint32 hGroup, std::vector<K5DB_VARINFO> &Vars);

    void GetVarsDescriptions(quint32 hGroup, HandleList &Lst);
    void GetFolders(quint32 ParentFolder, HandleList &Lst);
    void GetFolderPrograms(quint32 ParentFolder, HandleList &Lst);
    // Deletes every program folder whose upper-case path (components joined and ended by
    // "\") contains Folder, programs first, children before parents, logging each deletion
    // before it is made. Recursive is passed down but a match always takes the whole subtree.
    void DeleteProjectFolder(const QString &Folder, bool Recursive, const TLogMsg &LogMsg,
                             QString CurrPath, quint32 ParentFolder);

    std::unique_ptr<QLibrary> Handle; // null when loading failed
    TK5DB_Connect K5DB_Connect = nullptr;
    bool Result = false; // the library is loaded and every entry point was found
    // Optional: a library without it still builds projects, it only cannot plan.
    TK5DB_OpenProjectCopy K5DB_OpenProjectCopy = nullptr;
    // Optional: without it a group is read one call per variable and field.
    TK5DB_GetGroupVarInfos K5DB_GetGroupVarInfos = nullptr;
    quint32 hClient = 0;
    quint32 hProject = 0;
#define TK5DB_FIELD(name) T##name name = nullptr;
    TK5DB_ENTRY_POINTS(TK5DB_FIELD)
#undef TK5DB_FIELD

private:
    void deleteFolderLevel(const QString &Folder, bool Recursive, const TLogMsg &LogMsg,
                           QString CurrPath, quint32 ParentFolder, int depth);
};
