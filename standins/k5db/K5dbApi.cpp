// The C entry points: each takes the library's lock, calls into the server and turns every
// failure into a status, a 0 handle or a null text. These are the only places that catch
// everything: an exception reaching a C caller would end the whole generator.

#include "K5dbApi.h"

#include "Handles.h"
#include "K5dbServer.h"
#include "StoreError.h"
#include "Text.h"

#include <cstring>

using namespace k5db;

namespace {

template <typename Call> uint32_t guardStatus(Call &&call) noexcept
{
    try {
        std::lock_guard lock(Server::instance().mutex());
        return call();
    } catch (const StoreError &e) {
        return e.status();
    } catch (...) {
        return K5DB_ERR_INTERNAL;
    }
}

// Handles and counts: 0 on any failure.
template <typename Call> uint32_t guardNumber(Call &&call) noexcept
{
    try {
        std::lock_guard lock(Server::instance().mutex());
        return call();
    } catch (...) {
        return 0;
    }
}

template <typename Call> const char *guardText(Call &&call) noexcept
{
    try {
        std::lock_guard lock(Server::instance().mutex());
        return call();
    } catch (...) {
        return nullptr;
    }
}

Server &server()
{
    return Server::instance();
}

std::string name(const char *text)
{
    return utf8FromAnsi(callerText(text, kMaxNameBytes));
}

std::string value(const char *text)
{
    return utf8FromAnsi(callerText(text, kMaxValueBytes));
}

void setOut(uint32_t *out, uint32_t value)
{
    if (out)
        *out = value;
}

ProgramRecord requireProgram(Project &project, uint32_t hProgram)
{
    auto program = project.programs.record(hProgram);
    if (!program)
        throw StoreError(K5DB_ERR_HANDLE, "unknown program");
    return *program;
}

VariableRecord requireVariable(Project &project, uint32_t hGroup, uint32_t hVar)
{
    auto var = project.variables.record(hGroup, hVar);
    if (!var)
        throw StoreError(K5DB_ERR_HANDLE, "unknown variable");
    return *var;
}

void requireFolderOrRoot(Project &project, uint32_t hFolder)
{
    if (hFolder != 0 && !project.folders.exists(hFolder))
        throw StoreError(K5DB_ERR_HANDLE, "unknown folder");
}

void requireGroup(Project &project, uint32_t hGroup)
{
    if (!project.variables.group(hGroup))
        throw StoreError(K5DB_ERR_HANDLE, "unknown group");
}

uint32_t copyHandles(const std::vector<uint32_t> &handles, uint32_t *pHandles)
{
    if (!pHandles)
        throw StoreError(K5DB_ERR_ARGUMENT, "null handle array");
    std::copy(handles.begin(), handles.end(), pHandles);
    return static_cast<uint32_t>(handles.size());
}

} // namespace

K5DB_API uint32_t K5DB_Connect(void *, uint32_t, uint32_t, uint32_t,
                               const char *szClientName) noexcept
{
    return guardNumber([&] { return server().connect(name(szClientName)); });
}

K5DB_API uint32_t K5DB_Disconnect(uint32_t hClient) noexcept
{
    return guardStatus([&] {
        server().disconnect(hClient);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_OpenProject(uint32_t hClient, const char *szProjectPath) noexcept
{
    return guardNumber([&] { return server().openProject(hClient, projectFolder(szProjectPath)); });
}

K5DB_API uint32_t K5DB_CreateProject(uint32_t hClient, const char *szProjectPath) noexcept
{
    return guardStatus([&] {
        server().createProject(hClient, projectFolder(szProjectPath));
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_SetProjectModified(uint32_t hClient, uint32_t hProject) noexcept
{
    return guardStatus([&] {
        server().project(hClient, hProject);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_SaveProject(uint32_t hClient, uint32_t hProject) noexcept
{
    return guardStatus([&] {
        server().project(hClient, hProject).save();
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_CloseProject(uint32_t hClient, uint32_t hProject) noexcept
{
    return guardStatus([&] {
        server().closeProject(hClient, hProject);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_GetNbFolder(uint32_t hClient, uint32_t hProject,
                                   uint32_t hParentFolder) noexcept
{
    return guardNumber([&] {
        return static_cast<uint32_t>(
            server().project(hClient, hProject).folders.children(hParentFolder).size());
    });
}

K5DB_API uint32_t K5DB_GetFolders(uint32_t hClient, uint32_t hProject, uint32_t hParentFolder,
                                  uint32_t *pHandles) noexcept
{
    return guardNumber([&] {
        return copyHandles(server().project(hClient, hProject).folders.children(hParentFolder),
                           pHandles);
    });
}

K5DB_API uint32_t K5DB_GetNbFolderProg(uint32_t hClient, uint32_t hProject,
                                       uint32_t hFolder) noexcept
{
    return guardNumber([&] {
        Project &project = server().project(hClient, hProject);
        requireFolderOrRoot(project, hFolder);
        return static_cast<uint32_t>(project.programs.inFolder(hFolder).size());
    });
}

K5DB_API uint32_t K5DB_GetFolderProgs(uint32_t hClient, uint32_t hProject, uint32_t hFolder,
                                      uint32_t *pHandles) noexcept
{
    return guardNumber([&] {
        Project &project = server().project(hClient, hProject);
        requireFolderOrRoot(project, hFolder);
        return copyHandles(project.programs.inFolder(hFolder), pHandles);
    });
}

K5DB_API uint32_t K5DB_GetNbVar(uint32_t hClient, uint32_t hProject, uint32_t hGroup) noexcept
{
    return guardNumber([&] {
        Project &project = server().project(hClient, hProject);
        requireGroup(project, hGroup);
        return static_cast<uint32_t>(project.variables.list(hGroup).size());
    });
}

K5DB_API uint32_t K5DB_GetVars(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                               uint32_t *pHandles) noexcept
{
    return guardNumber([&] {
        Project &project = server().project(hClient, hProject);
        requireGroup(project, hGroup);
        return copyHandles(project.variables.list(hGroup), pHandles);
    });
}

K5DB_API const char *K5DB_GetFolderDesc(uint32_t hClient, uint32_t hProject,
                                        uint32_t hFolder) noexcept
{
    return guardText([&]() -> const char * {
        const auto folder = server().project(hClient, hProject).folders.name(hFolder);
        return folder ? server().reply(hClient, *folder) : nullptr;
    });
}

K5DB_API uint32_t K5DB_CreateFolder(uint32_t hClient, uint32_t hProject, uint32_t hParentFolder,
                                    const char *szName) noexcept
{
    return guardNumber([&] {
        return server().project(hClient, hProject).folders.create(hParentFolder, name(szName));
    });
}

K5DB_API uint32_t K5DB_DeleteFolder(uint32_t hClient, uint32_t hProject, uint32_t hFolder) noexcept
{
    return guardStatus([&] {
        server().project(hClient, hProject).deleteFolder(hFolder);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_FindProgram(uint32_t hClient, uint32_t hProject,
                                   const char *szProgName) noexcept
{
    return guardNumber(
        [&] { return server().project(hClient, hProject).programs.find(name(szProgName)); });
}

K5DB_API uint32_t K5DB_CreateProgramEx(uint32_t hClient, uint32_t hProject, uint32_t dwLanguage,
                                       uint32_t dwSection, uint32_t hParent, const char *szProgName,
                                       uint32_t dwFlags, uint32_t hParentFolder) noexcept
{
    return guardNumber([&] {
        ProgramRecord program;
        program.name = name(szProgName);
        program.language = dwLanguage;
        program.section = dwSection;
        program.parentProgram = hParent;
        program.flags = dwFlags;
        program.folder = hParentFolder;
        return server().project(hClient, hProject).createProgram(program);
    });
}

K5DB_API uint32_t K5DB_DeleteProgram(uint32_t hClient, uint32_t hProject,
                                     uint32_t hProgram) noexcept
{
    return guardStatus([&] {
        server().project(hClient, hProject).deleteProgram(hProgram);
        return K5DB_OK;
    });
}

K5DB_API const char *K5DB_GetProgramDesc(uint32_t hClient, uint32_t hProject, uint32_t hProgram,
                                         uint32_t *pdwLanguage, uint32_t *pdwSection,
                                         uint32_t *phParent) noexcept
{
    return guardText([&] {
        const ProgramRecord program = requireProgram(server().project(hClient, hProject), hProgram);
        setOut(pdwLanguage, program.language);
        setOut(pdwSection, program.section);
        setOut(phParent, program.parentProgram);
        return server().reply(hClient, program.name);
    });
}

K5DB_API uint32_t K5DB_LockProgram(uint32_t hClient, uint32_t hProject, uint32_t hProgram) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        requireProgram(project, hProgram);
        return project.lock(hProgram);
    });
}

K5DB_API uint32_t K5DB_UnlockProgram(uint32_t hClient, uint32_t hProject,
                                     uint32_t hProgram) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        if (!isKind(hProgram, ObjectKind::Program))
            throw StoreError(K5DB_ERR_HANDLE, "not a program");
        project.unlock(hProgram);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_SaveProgramChanges(uint32_t hClient, uint32_t hProject,
                                          uint32_t hProgram) noexcept
{
    // Program changes join the project's transaction; K5DB_SaveProject makes them durable.
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        requireProgram(project, hProgram);
        project.requireNotLockedByOther(hProgram);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_SetProgramSchedule(uint32_t hClient, uint32_t hProject, uint32_t hProgram,
                                          uint32_t dwPeriod, uint32_t dwOffset) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        requireProgram(project, hProgram);
        project.programs.setSchedule(hProgram, dwPeriod, dwOffset);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_SetProgramOnCallFlag(uint32_t hClient, uint32_t hProject, uint32_t hProgram,
                                            uint32_t dwOnCall) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        requireProgram(project, hProgram);
        project.programs.setOnCall(hProgram, dwOnCall);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_GetProgramPath(uint32_t hClient, uint32_t hProject, uint32_t hProgram,
                                      char *szPath) noexcept
{
    return guardStatus([&] {
        if (!szPath)
            throw StoreError(K5DB_ERR_ARGUMENT, "null buffer");
        szPath[0] = '\0';
        Project &project = server().project(hClient, hProject);
        const std::string path =
            ansiFromUtf8(project.sourcePath(requireProgram(project, hProgram)).string());
        if (path.size() >= K5DB_PATH_BUFFER)
            return K5DB_ERR_BUFFER;
        std::memcpy(szPath, path.c_str(), path.size() + 1);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_FindGroup(uint32_t hClient, uint32_t hProject,
                                 const char *szGroupName) noexcept
{
    return guardNumber(
        [&] { return server().project(hClient, hProject).variables.findGroup(name(szGroupName)); });
}

K5DB_API uint32_t K5DB_LockGroup(uint32_t hClient, uint32_t hProject, uint32_t hGroup) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        requireGroup(project, hGroup);
        return project.lock(hGroup);
    });
}

K5DB_API uint32_t K5DB_UnlockGroup(uint32_t hClient, uint32_t hProject, uint32_t hGroup) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        if (!isKind(hGroup, ObjectKind::Group))
            throw StoreError(K5DB_ERR_HANDLE, "not a group");
        project.unlock(hGroup);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_FindType(uint32_t hClient, uint32_t hProject,
                                const char *szTypeName) noexcept
{
    return guardNumber(
        [&] { return server().project(hClient, hProject).types.find(name(szTypeName)); });
}

K5DB_API const char *K5DB_GetTypeDesc(uint32_t hClient, uint32_t hProject, uint32_t hType,
                                      uint32_t *pdwFlags) noexcept
{
    return guardText([&]() -> const char * {
        const auto type = server().project(hClient, hProject).types.describe(hType);
        if (!type)
            return nullptr;
        setOut(pdwFlags, type->flags);
        return server().reply(hClient, type->name);
    });
}

K5DB_API uint32_t K5DB_FindVarInGroup(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                      const char *szVarName) noexcept
{
    return guardNumber([&]() -> uint32_t {
        Project &project = server().project(hClient, hProject);
        if (!isKind(hGroup, ObjectKind::Group))
            return 0;
        return project.variables.find(hGroup, name(szVarName));
    });
}

K5DB_API uint32_t K5DB_CreateVar(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                 uint32_t dwPosID, uint32_t hType, uint32_t dwDim,
                                 uint32_t dwStringLength, uint32_t dwFlags,
                                 const char *szVarName) noexcept
{
    return guardNumber([&] {
        VariableRecord var;
        var.name = name(szVarName);
        var.dim = dwDim;
        var.stringLength = dwStringLength;
        var.flags = dwFlags;
        return server().project(hClient, hProject).createVariable(hGroup, dwPosID, hType, var);
    });
}

K5DB_API uint32_t K5DB_DeleteVar(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                 uint32_t hVar) noexcept
{
    return guardStatus([&] {
        server().project(hClient, hProject).deleteVariable(hGroup, hVar);
        return K5DB_OK;
    });
}

K5DB_API const char *K5DB_GetVarDesc(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                     uint32_t hVar, uint32_t *phType, uint32_t *pdwDim,
                                     uint32_t *pdwStringLength, uint32_t *pdwFlags) noexcept
{
    return guardText([&] {
        Project &project = server().project(hClient, hProject);
        const VariableRecord var = requireVariable(project, hGroup, hVar);
        setOut(phType, project.types.find(var.type));
        setOut(pdwDim, var.dim);
        setOut(pdwStringLength, var.stringLength);
        setOut(pdwFlags, var.flags);
        return server().reply(hClient, var.name);
    });
}

K5DB_API uint32_t K5DB_SetVarInitValue(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                       uint32_t hVar, const char *szValue) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        const VariableRecord var = requireVariable(project, hGroup, hVar);
        const std::string text = value(szValue);
        const auto type = project.types.describe(project.types.find(var.type));
        if (!text.empty() && type && (type->flags & K5DB_TYPE_FB))
            throw StoreError(K5DB_ERR_NOT_ALLOWED, "a function block has no initial value");
        project.variables.setInitValue(hVar, text.empty() ? std::nullopt
                                                          : std::optional<std::string>(text));
        return K5DB_OK;
    });
}

K5DB_API const char *K5DB_GetVarInitValue(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                          uint32_t hVar, uint32_t *pdwValid) noexcept
{
    setOut(pdwValid, 0);
    return guardText([&] {
        const VariableRecord var =
            requireVariable(server().project(hClient, hProject), hGroup, hVar);
        setOut(pdwValid, var.initValue ? 1 : 0);
        return server().reply(hClient, var.initValue.value_or(""));
    });
}

K5DB_API uint32_t K5DB_SetProperty(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                   uint32_t hProp, const char *szValue) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        project.requireNoteObject(hObject);
        project.notes.setProperty(hObject, hProp, value(szValue));
        return K5DB_OK;
    });
}

K5DB_API const char *K5DB_GetProperty(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                      uint32_t hProp) noexcept
{
    return guardText([&] {
        Project &project = server().project(hClient, hProject);
        project.requireNoteObject(hObject);
        return server().reply(hClient, project.notes.property(hObject, hProp));
    });
}

K5DB_API uint32_t K5DB_RemoveProperties(uint32_t hClient, uint32_t hProject,
                                        uint32_t hObject) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        project.requireNoteObject(hObject);
        project.notes.removeProperties(hObject);
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_SetComment(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                  uint32_t dwCommType, const char *szValue) noexcept
{
    return guardStatus([&] {
        Project &project = server().project(hClient, hProject);
        project.requireNoteObject(hObject);
        project.notes.setComment(hObject, dwCommType, value(szValue));
        return K5DB_OK;
    });
}

K5DB_API uint32_t K5DB_GetCommentLength(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                        uint32_t dwCommType) noexcept
{
    return guardNumber([&] {
        Project &project = server().project(hClient, hProject);
        project.requireNoteObject(hObject);
        return static_cast<uint32_t>(
            ansiFromUtf8(project.notes.comment(hObject, dwCommType)).size());
    });
}

K5DB_API uint32_t K5DB_GetComment(uint32_t hClient, uint32_t hProject, uint32_t hObject,
                                  uint32_t dwCommType, char *szBuffer, uint32_t dwBufSize) noexcept
{
    return guardStatus([&] {
        if (!szBuffer || dwBufSize == 0)
            throw StoreError(K5DB_ERR_ARGUMENT, "no buffer");
        szBuffer[0] = '\0';
        Project &project = server().project(hClient, hProject);
        project.requireNoteObject(hObject);
        const std::string text = ansiFromUtf8(project.notes.comment(hObject, dwCommType));
        const std::size_t size = std::min<std::size_t>(text.size(), dwBufSize - 1);
        std::memcpy(szBuffer, text.data(), size);
        szBuffer[size] = '\0';
        return size == text.size() ? K5DB_OK : K5DB_ERR_BUFFER;
    });
}
