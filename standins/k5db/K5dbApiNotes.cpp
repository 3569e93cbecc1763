// The C entry points of the properties and comments of programs and variables.

#include "ApiGuards.h"

#include <cstring>

using namespace k5db;
using namespace k5db::api;

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
