#pragma once

#include "ProgramTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k5db {

struct TypeDesc {
    std::string name;        // as the catalogue spells it (upper case), or the program's name
    std::uint32_t flags = 0; // K5DB_TYPE_*
};

// The types a variable may take: the IEC 61131-3 elementary types, the standard function
// blocks and the project's function block programs (section K5DB_SECTION_UDFB). Looked up
// without regard to case.
class TypeCatalog {
public:
    explicit TypeCatalog(ProgramTable &programs) : m_programs(programs) {}

    std::uint32_t find(std::string_view name);
    std::optional<TypeDesc> describe(std::uint32_t hType);
    static bool isBuiltIn(std::string_view name);

private:
    ProgramTable &m_programs;
};

} // namespace k5db
