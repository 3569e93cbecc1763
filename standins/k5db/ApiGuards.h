#pragma once

// What the C entry points share: the guards that take the library's lock and turn every
// failure into a status, a 0 handle or a null text (an exception reaching a C caller would end
// the whole generator), and the checks of the handles a caller passes.

#include "interfaces/K5dbApi.h"

#include "Handles.h"
#include "K5dbServer.h"
#include "StoreError.h"
#include "Text.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace k5db::api {

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

inline Server &server()
{
    return Server::instance();
}

inline std::string name(const char *text)
{
    return utf8FromAnsi(callerText(text, kMaxNameBytes));
}

inline std::string value(const char *text)
{
    return utf8FromAnsi(callerText(text, kMaxValueBytes));
}

inline void setOut(uint32_t *out, uint32_t value)
{
    if (out)
        *out = value;
}

inline ProgramRecord requireProgram(Project &project, uint32_t hProgram)
{
    auto program = project.programs.record(hProgram);
    if (!program)
        throw StoreError(K5DB_ERR_HANDLE, "unknown program");
    return *program;
}

inline VariableRecord requireVariable(Project &project, uint32_t hGroup, uint32_t hVar)
{
    auto var = project.variables.record(hGroup, hVar);
    if (!var)
        throw StoreError(K5DB_ERR_HANDLE, "unknown variable");
    return *var;
}

inline void requireFolderOrRoot(Project &project, uint32_t hFolder)
{
    if (hFolder != 0 && !project.folders.exists(hFolder))
        throw StoreError(K5DB_ERR_HANDLE, "unknown folder");
}

inline void requireGroup(Project &project, uint32_t hGroup)
{
    if (!project.variables.group(hGroup))
        throw StoreError(K5DB_ERR_HANDLE, "unknown group");
}

inline uint32_t copyHandles(const std::vector<uint32_t> &handles, uint32_t *pHandles)
{
    if (!pHandles)
        throw StoreError(K5DB_ERR_ARGUMENT, "null handle array");
    std::copy(handles.begin(), handles.end(), pHandles);
    return static_cast<uint32_t>(handles.size());
}

} // namespace k5db::api
