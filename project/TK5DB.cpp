#include "project/TK5DB.h"

#include "common/Failure.h"
#include "common/OutsideLibrary.h"
#include "common/Windows1252.h"

#include <QCoreApplication>
#include <QDir>

#include <cstring>
#include <vector>

namespace {

// The library writes a comment into a buffer of this size; a longer one needs a bigger buffer.
constexpr quint32 kCommentBufferSize = 2049;
// A program folder tree deeper than this is not followed. The library only makes folders
// under existing ones; the bound keeps a damaged store from recursing without end.
constexpr int kMaxFolderDepth = 256;

QString needBufferSize(quint32 length)
{
    return QString::asprintf("Need buffer size of %d bytes in GetComment", int(length));
}
QString deletingMessage(const QString &path)
{
    return QStringLiteral("Deleting: <") + path + QStringLiteral(">");
}
QString deleteErrorMessage(quint32 status, const QString &path)
{
    return QString::asprintf("Error %d while deleting %s", int(status), qPrintable(path));
}

template <typename Pointer> bool bindEntry(QLibrary &library, const char *name, Pointer &field)
{
    field = reinterpret_cast<Pointer>(library.resolve(name));
    return field != nullptr;
}

} // namespace

TK5DB::TK5DB(const QString &libraryName) : Handle(loadOutsideLibrary(libraryName))
{
    if (!Handle)
        return;
    // Every name is looked up, also after one is missing, so each field says what it found.
    bool all = bindEntry(*Handle, "K5DB_Connect", K5DB_Connect);
#define TK5DB_BIND(name) all = bindEntry(*Handle, #name, name) && all;
    TK5DB_ENTRY_POINTS(TK5DB_BIND)
#undef TK5DB_BIND
    Result = all;
    bindEntry(*Handle, "K5DB_OpenProjectCopy", K5DB_OpenProjectCopy);
    bindEntry(*Handle, "K5DB_GetGroupVarInfos", K5DB_GetGroupVarInfos);
}

TK5DB::~TK5DB()
{
    if (Handle)
        Handle->unload();
}

QByteArray TK5DB::ansiText(const QString &text)
{
    return toWindows1252(text);
}

QString TK5DB::nativeText(const char *text)
{
    return text ? fromWindows1252(QByteArrayView(text, qsizetype(std::strlen(text)))) : QString();
}

bool TK5DB::Connect(void *hwndCallback, quint32 msgCallback, quint32 dwFlags, quint32 dwData,
                    const QString &szClientName)
{
    hClient = K5DB_Connect(hwndCallback, msgCallback, dwFlags, dwData,
                           ansiText(szClientName).constData());
    return hClient != 0;
}

void TK5DB::Disconnect()
{
    K5DB_Disconnect(hClient);
}

bool TK5DB::OpenProject(const QString &ProjectPath)
{
    hProject = K5DB_OpenProject(hClient, ansiText(ProjectPath).constData());
    return hProject != 0;
}

bool TK5DB::OpenProjectCopy(const QString &ProjectPath)
{
    hProject =
        K5DB_OpenProjectCopy ? K5DB_OpenProjectCopy(hClient, ansiText(ProjectPath).constData()) : 0;
    return hProject != 0;
}

quint32 TK5DB::CreateProject(const QString &ProjectPath)
{
    return K5DB_CreateProject(hClient, ansiText(ProjectPath).constData());
}

quint32 TK5DB::SaveProject()
{
    return K5DB_SaveProject(hClient, hProject);
}

void TK5DB::CloseProject()
{
    K5DB_CloseProject(hClient, hProject);
}

bool TK5DB::SetProjectModified()
{
    return K5DB_SetProjectModified(hClient, hProject) == K5DB_OK;
}

quint32 TK5DB::FindProgram(const QString &ProgName)
{
    return K5DB_FindProgram(hClient, hProject, ansiText(ProgName).constData());
}

quint32 TK5DB::DeleteProgram(quint32 hProgram)
{
    return K5DB_DeleteProgram(hClient, hProject, hProgram);
}

quint32 TK5DB::CreateProgramEx(quint32 dwLanguage, quint32 dwSection, quint32 hParent,
                               const QString &ProgName, quint32 dwFlags, quint32 hParentFolder)
{
    return K5DB_CreateProgramEx(hClient, hProject, dwLanguage, dwSection, hParent,
                                ansiText(ProgName).constData(), dwFlags, hParentFolder);
}

quint32 TK5DB::SetProgramSchedule(quint32 hProgram, quint32 dwPeriod, quint32 dwOffset)
{
    return K5DB_SetProgramSchedule(hClient, hProject, hProgram, dwPeriod, dwOffset);
}

quint32 TK5DB::SetProgramOnCallFlag(quint32 hProgram, quint32 dwOnCall)
{
    return K5DB_SetProgramOnCallFlag(hClient, hProject, hProgram, dwOnCall);
}

QString TK5DB::GetProgramPath(quint32 hProgram)
{
    char buffer[K5DB_PATH_BUFFER] = {};
    if (K5DB_GetProgramPath(hClient, hProject, hProgram, buffer) != K5DB_OK)
        return QString();
    buffer[K5DB_PATH_BUFFER - 1] = '\0';
    return nativeText(buffer);
}

quint32 TK5DB::FindGroup(const QString &GroupName)
{
    return K5DB_FindGroup(hClient, hProject, ansiText(GroupName).constData());
}

quint32 TK5DB::LockGroup(quint32 hGroup)
{
    return K5DB_LockGroup(hClient, hProject, hGroup);
}

quint32 TK5DB::UnlockGroup(quint32 hGroup)
{
    return K5DB_UnlockGroup(hClient, hProject, hGroup);
}

quint32 TK5DB::FindType(const QString &TypeName)
{
    return K5DB_FindType(hClient, hProject, ansiText(TypeName).constData());
}

quint32 TK5DB::CreateVar(quint32 hGroup, quint32 dwPosID, quint32 hType, quint32 dwDim,
                         quint32 dwStringLength, quint32 dwFlags, const QString &VarName)
{
    return K5DB_CreateVar(hClient, hProject, hGroup, dwPosID, hType, dwDim, dwStringLength, dwFlags,
                          ansiText(VarName).constData());
}

quint32 TK5DB::FindVarInGroup(quint32 hGroup, const QString &VarName)
{
    return K5DB_FindVarInGroup(hClient, hProject, hGroup, ansiText(VarName).constData());
}

quint32 TK5DB::DeleteVar(quint32 hGroup, quint32 hVar)
{
    return K5DB_DeleteVar(hClient, hProject, hGroup, hVar);
}

QString TK5DB::GetVarDesc(quint32 hGroup, quint32 hVar, quint32 &hType, quint32 &dwDim,
                          quint32 &dwStringLength, quint32 &dwFlags)
{
    return nativeText(K5DB_GetVarDesc(hClient, hProject, hGroup, hVar, &hType, &dwDim,
                                      &dwStringLength, &dwFlags));
}

quint32 TK5DB::SetProperty(quint32 hObject, quint32 hProp, const QString &Value)
{
    return K5DB_SetProperty(hClient, hProject, hObject, hProp, ansiText(Value).constData());
}

void TK5DB::CheckCommentLength(qsizetype bytes)
{
    if (bytes >= qsizetype(kCommentBufferSize))
        throw Failure(needBufferSize(quint32(bytes)));
}

bool TK5DB::GetGroupVarInfos(quint32 hGroup, std::vector<K5DB_VARINFO> &Vars)
{
    Vars.clear();
    if (!K5DB_GetGroupVarInfos)
        return false;
    // The count first; should the group have grown since (another thread of this client),
    // the call says so and is asked once more with the new count.
    quint32 count = K5DB_GetNbVar(hClient, hProject, hGroup);
    for (int attempt = 0; attempt < 2; ++attempt) {
        Vars.resize(count);
        const quint32 status =
            K5DB_GetGroupVarInfos(hClient, hProject, hGroup, Vars.data(), count, &count);
        if (status == K5DB_OK) {
            Vars.resize(count);
            return true;
        }
        if (status != K5DB_ERR_BUFFER)
            break;
    }
    Vars.clear();
    return false;
}

QString TK5DB::GetComment(quint32 hObject, quint32 dwCommType)
{
    const quint32 length = K5DB_GetCommentLength(hClient, hProject, hObject, dwCommType);
    CheckCommentLength(length);
    char buffer[kCommentBufferSize] = {};
    K5DB_GetComment(hClient, hProject, hObject, dwCommType, buffer, kCommentBufferSize);
    buffer[kCommentBufferSize - 1] = '\0';
    return nativeText(buffer);
}

void TK5DB::GetVarsDescriptions(quint32 hGroup, HandleList &Lst)
{
    Lst.clear();
    const quint32 count = K5DB_GetNbVar(hClient, hProject, hGroup);
    if (count == 0)
        return;
    std::vector<quint32> handles(count);
    const quint32 filled = K5DB_GetVars(hClient, hProject, hGroup, handles.data());
    handles.resize(std::min(count, filled));
    for (const quint32 hVar : handles)
        Lst.add(GetComment(hVar, K5DB_COMMENT_DESC), hVar);
}

void TK5DB::GetFolders(quint32 ParentFolder, HandleList &Lst)
{
    Lst.clear();
    const quint32 count = K5DB_GetNbFolder(hClient, hProject, ParentFolder);
    if (count == 0)
        return;
    std::vector<quint32> handles(count);
    const quint32 filled = K5DB_GetFolders(hClient, hProject, ParentFolder, handles.data());
    handles.resize(std::min(count, filled));
    for (const quint32 hFolder : handles)
        Lst.add(nativeText(K5DB_GetFolderDesc(hClient, hProject, hFolder)), hFolder);
}

void TK5DB::GetFolderPrograms(quint32 ParentFolder, HandleList &Lst)
{
    Lst.clear();
    const quint32 count = K5DB_GetNbFolderProg(hClient, hProject, ParentFolder);
    if (count == 0)
        return;
    std::vector<quint32> handles(count);
    const quint32 filled = K5DB_GetFolderProgs(hClient, hProject, ParentFolder, handles.data());
    handles.resize(std::min(count, filled));
    for (const quint32 hProgram : handles) {
        Lst.add(
            nativeText(K5DB_GetProgramDesc(hClient, hProject, hProgram, nullptr, nullptr, nullptr)),
            hProgram);
    }
}

void TK5DB::DeleteProjectFolder(const QString &Folder, bool Recursive, const TLogMsg &LogMsg,
                                QString CurrPath, quint32 ParentFolder)
{
    deleteFolderLevel(Folder, Recursive, LogMsg, std::move(CurrPath), ParentFolder, 0);
}

void TK5DB::deleteFolderLevel(const QString &Folder, bool Recursive, const TLogMsg &LogMsg,
                              QString CurrPath, quint32 ParentFolder, int depth)
{
    if (!CurrPath.isEmpty())
        CurrPath += QLatin1Char('\\');
    HandleList folders;
    GetFolders(ParentFolder, folders);
    if (depth < kMaxFolderDepth) {
        for (const auto &sub : folders) {
            deleteFolderLevel(Folder, Recursive, LogMsg, CurrPath + sub.name.toUpper(), sub.value,
                              depth + 1);
        }
    }
    const QString wanted = Folder.toUpper();
    if (wanted.isEmpty() || !CurrPath.contains(wanted))
        return;
    HandleList programs;
    GetFolderPrograms(ParentFolder, programs);
    for (const auto &program : programs) {
        LogMsg(deletingMessage(CurrPath + program.name));
        if (const quint32 status = DeleteProgram(program.value); status != K5DB_OK)
            LogMsg(deleteErrorMessage(status, CurrPath + program.name));
    }
    LogMsg(deletingMessage(CurrPath));
    if (const quint32 status = K5DB_DeleteFolder(hClient, hProject, ParentFolder);
        status != K5DB_OK)
        LogMsg(deleteErrorMessage(status, CurrPath));
}
