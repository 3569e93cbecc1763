// The C entry points of folders and programs: listing, creating and deleting them, their locks,
// settings and source files.

#include "ApiGuards.h"

#include <cstring>

using namespace k5db;
using namespace k5db::api;

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
