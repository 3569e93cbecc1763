#pragma once

#include <cstdint>

namespace k5db {

// Object handles carry their kind in the top four bits and the row id of the store below, so
// one number names one object of one project whatever its kind (properties and comments take
// any object) and a handle of the wrong kind is refused instead of reaching another table.
enum class ObjectKind : std::uint32_t {
    Folder = 1,
    Program = 2,
    Group = 3,
    Variable = 4,
    Type = 5,     // a type of the built-in catalogue
    UserType = 6, // a function block program of the project, by its program id
};

constexpr std::uint32_t kHandleIdBits = 28;
constexpr std::int64_t kMaxRowId = (std::int64_t{1} << kHandleIdBits) - 1;

constexpr std::uint32_t makeHandle(ObjectKind kind, std::int64_t id)
{
    return (static_cast<std::uint32_t>(kind) << kHandleIdBits) | static_cast<std::uint32_t>(id);
}

constexpr bool isKind(std::uint32_t handle, ObjectKind kind)
{
    return (handle >> kHandleIdBits) == static_cast<std::uint32_t>(kind) &&
           (handle & kMaxRowId) != 0;
}

constexpr std::int64_t rowId(std::uint32_t handle)
{
    return handle & kMaxRowId;
}

} // namespace k5db
