// A project database library that lacks K5DB_FindType and does nothing else: what the
// wrapper's tests load to see that one missing entry point makes the library unusable.

#include "interfaces/K5dbApi.h"

K5DB_API uint32_t K5DB_Connect(void *, uint32_t, uint32_t, uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_Disconnect(uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_OpenProject(uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_CreateProject(uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_SetProjectModified(uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_SaveProject(uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_CloseProject(uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetNbFolder(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetFolders(uint32_t, uint32_t, uint32_t, uint32_t *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetNbFolderProg(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetFolderProgs(uint32_t, uint32_t, uint32_t, uint32_t *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetNbVar(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetVars(uint32_t, uint32_t, uint32_t, uint32_t *) noexcept
{
    return 0;
}

K5DB_API const char *K5DB_GetFolderDesc(uint32_t, uint32_t, uint32_t) noexcept
{
    return nullptr;
}

K5DB_API uint32_t K5DB_CreateFolder(uint32_t, uint32_t, uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_DeleteFolder(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_FindProgram(uint32_t, uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_CreateProgramEx(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                       const char *, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_DeleteProgram(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API const char *K5DB_GetProgramDesc(uint32_t, uint32_t, uint32_t, uint32_t *, uint32_t *,
                                         uint32_t *) noexcept
{
    return nullptr;
}

K5DB_API uint32_t K5DB_LockProgram(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_UnlockProgram(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_SaveProgramChanges(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_SetProgramSchedule(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_SetProgramOnCallFlag(uint32_t, uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetProgramPath(uint32_t, uint32_t, uint32_t, char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_FindGroup(uint32_t, uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_LockGroup(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_UnlockGroup(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API const char *K5DB_GetTypeDesc(uint32_t, uint32_t, uint32_t, uint32_t *) noexcept
{
    return nullptr;
}

K5DB_API uint32_t K5DB_FindVarInGroup(uint32_t, uint32_t, uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_CreateVar(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                 uint32_t, uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_DeleteVar(uint32_t, uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API const char *K5DB_GetVarDesc(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t *, uint32_t *,
                                     uint32_t *, uint32_t *) noexcept
{
    return nullptr;
}

K5DB_API uint32_t K5DB_SetVarInitValue(uint32_t, uint32_t, uint32_t, uint32_t,
                                       const char *) noexcept
{
    return 0;
}

K5DB_API const char *K5DB_GetVarInitValue(uint32_t, uint32_t, uint32_t, uint32_t,
                                          uint32_t *) noexcept
{
    return nullptr;
}

K5DB_API uint32_t K5DB_SetProperty(uint32_t, uint32_t, uint32_t, uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API const char *K5DB_GetProperty(uint32_t, uint32_t, uint32_t, uint32_t) noexcept
{
    return nullptr;
}

K5DB_API uint32_t K5DB_RemoveProperties(uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_SetComment(uint32_t, uint32_t, uint32_t, uint32_t, const char *) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetCommentLength(uint32_t, uint32_t, uint32_t, uint32_t) noexcept
{
    return 0;
}

K5DB_API uint32_t K5DB_GetComment(uint32_t, uint32_t, uint32_t, uint32_t, char *, uint32_t) noexcept
{
    return 0;
}
