#include "TypeCatalog.h"

#include "Handles.h"
#include "Text.h"
#include "interfaces/K5dbApi.h"

#include <array>

namespace k5db {

namespace {

struct BuiltInType {
    const char *name;
    std::uint32_t flags;
};

// The handle of a built-in type is its index here plus one: the order is part of the stored
// data's meaning only through names, so it may grow at the end.
constexpr std::array<BuiltInType, 33> kBuiltInTypes = {{
    {"BOOL", 0},
    {"SINT", 0},
    {"INT", 0},
    {"DINT", 0},
    {"LINT", 0},
    {"USINT", 0},
    {"UINT", 0},
    {"UDINT", 0},
    {"ULINT", 0},
    {"BYTE", 0},
    {"WORD", 0},
    {"DWORD", 0},
    {"LWORD", 0},
    {"REAL", 0},
    {"LREAL", 0},
    {"TIME", 0},
    {"DATE", 0},
    {"TIME_OF_DAY", 0},
    {"TOD", 0},
    {"DATE_AND_TIME", 0},
    {"DT", 0},
    {"STRING", K5DB_TYPE_STRING},
    {"WSTRING", K5DB_TYPE_STRING},
    {"TON", K5DB_TYPE_FB},
    {"TOF", K5DB_TYPE_FB},
    {"TP", K5DB_TYPE_FB},
    {"CTU", K5DB_TYPE_FB},
    {"CTD", K5DB_TYPE_FB},
    {"CTUD", K5DB_TYPE_FB},
    {"R_TRIG", K5DB_TYPE_FB},
    {"F_TRIG", K5DB_TYPE_FB},
    {"SR", K5DB_TYPE_FB},
    {"RS", K5DB_TYPE_FB},
}};

int builtInIndex(std::string_view name)
{
    const std::string folded = foldName(name);
    for (std::size_t i = 0; i < kBuiltInTypes.size(); ++i) {
        if (foldName(kBuiltInTypes[i].name) == folded)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

bool TypeCatalog::isBuiltIn(std::string_view name)
{
    return builtInIndex(name) >= 0;
}

std::uint32_t TypeCatalog::find(std::string_view name)
{
    if (const int i = builtInIndex(name); i >= 0)
        return makeHandle(ObjectKind::Type, i + 1);
    const std::uint32_t program = m_programs.find(name);
    if (program == 0)
        return 0;
    const auto record = m_programs.record(program);
    if (!record || record->section != K5DB_SECTION_UDFB)
        return 0;
    return makeHandle(ObjectKind::UserType, rowId(program));
}

std::optional<TypeDesc> TypeCatalog::describe(std::uint32_t hType)
{
    if (isKind(hType, ObjectKind::Type)) {
        const auto index = static_cast<std::size_t>(rowId(hType) - 1);
        if (index >= kBuiltInTypes.size())
            return std::nullopt;
        return TypeDesc{kBuiltInTypes[index].name, kBuiltInTypes[index].flags};
    }
    if (!isKind(hType, ObjectKind::UserType))
        return std::nullopt;
    const auto record = m_programs.record(makeHandle(ObjectKind::Program, rowId(hType)));
    if (!record || record->section != K5DB_SECTION_UDFB)
        return std::nullopt;
    return TypeDesc{record->name, K5DB_TYPE_FB | K5DB_TYPE_UDFB};
}

} // namespace k5db
