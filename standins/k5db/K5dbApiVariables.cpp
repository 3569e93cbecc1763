// The C entry points of variable groups, their locks, types and variables.

#include "ApiGuards.h"

#include <cstring>
#include <map>

using namespace k5db;
using namespace k5db::api;

namespace {

// The texts of one variable's record as offsets into the client's text buffer; they become
// pointers once the buffer has stopped growing.
struct TextOffsets {
    std::size_t name, type, init, tag, description, profile, embed;
};

std::size_t addText(std::string &buffer, std::string_view utf8)
{
    const std::size_t at = buffer.size();
    appendAnsiFromUtf8(buffer, utf8);
    buffer += '\0';
    return at;
}

struct TypeInfo {
    uint32_t handle;
    std::string name;
};

// The handle and catalogue name of a variable's type, as K5DB_GetVarDesc and K5DB_GetTypeDesc
// give them; asked once per type name.
using TypesSeen = std::map<std::string, TypeInfo, std::less<>>;

const TypeInfo &typeOf(Project &project, TypesSeen &seen, std::string_view name)
{
    auto it = seen.find(name);
    if (it == seen.end()) {
        const uint32_t handle = project.types.find(std::string(name));
        const auto type = project.types.describe(handle);
        it = seen.emplace(std::string(name), TypeInfo{handle, type ? type->name : std::string()})
                 .first;
    }
    return it->second;
}

} // namespace

K5DB_API uint32_t K5DB_GetNbVar(uint32_t hClient, uint32_t hProject, uint32_t hGroup) noexcept
{
    return guardNumber([&] {
        Project &project = server().project(hClient, hProject);
        requireGroup(project, hGroup);
        return project.variables.count(hGroup);
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

K5DB_API uint32_t K5DB_GetGroupVarInfos(uint32_t hClient, uint32_t hProject, uint32_t hGroup,
                                        K5DB_VARINFO *pVars, uint32_t dwMax,
                                        uint32_t *pdwCount) noexcept
{
    setOut(pdwCount, 0);
    return guardStatus([&] {
        if (!pdwCount || (!pVars && dwMax > 0))
            throw StoreError(K5DB_ERR_ARGUMENT, "null pointer");
        Project &project = server().project(hClient, hProject);
        requireGroup(project, hGroup);
        std::string &texts = server().beginTexts(hClient);
        TypesSeen types;
        std::vector<TextOffsets> offsets;
        std::size_t count = 0;
        // Rows past dwMax are only counted: the caller learns how many to make room for.
        project.variables.details(hGroup, [&](const VariableDetails &details) {
            if (count++ >= dwMax)
                return;
            const TypeInfo &type = typeOf(project, types, details.type);
            pVars[offsets.size()] = K5DB_VARINFO{details.handle, type.handle,
                                                 details.dim,    details.stringLength,
                                                 details.flags,  details.hasInit ? 1u : 0u,
                                                 nullptr,        nullptr,
                                                 nullptr,        nullptr,
                                                 nullptr,        nullptr,
                                                 nullptr};
            offsets.push_back({addText(texts, details.name), addText(texts, type.name),
                               addText(texts, details.init), addText(texts, details.tag),
                               addText(texts, details.description), addText(texts, details.profile),
                               addText(texts, details.embed)});
        });
        // Pointers only now: the buffer may have moved while it grew.
        const char *base = texts.c_str();
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            K5DB_VARINFO &out = pVars[i];
            out.szName = base + offsets[i].name;
            out.szType = base + offsets[i].type;
            out.szInitValue = base + offsets[i].init;
            out.szTag = base + offsets[i].tag;
            out.szDescription = base + offsets[i].description;
            out.szProfile = base + offsets[i].profile;
            out.szEmbed = base + offsets[i].embed;
        }
        *pdwCount = static_cast<uint32_t>(count);
        return count > dwMax ? K5DB_ERR_BUFFER : K5DB_OK;
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
