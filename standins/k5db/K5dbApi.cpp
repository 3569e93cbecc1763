// The C entry points of the project: connecting, opening, creating, saving and closing. Each
// entry point runs inside a guard of ApiGuards.h.

#include "ApiGuards.h"

#include <cstring>

using namespace k5db;
using namespace k5db::api;

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

K5DB_API uint32_t K5DB_OpenProjectCopy(uint32_t hClient, const char *szProjectPath) noexcept
{
    return guardNumber(
        [&] { return server().openProjectCopy(hClient, projectFolder(szProjectPath)); });
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
