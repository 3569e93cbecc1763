#pragma once

#include <string_view>
#include <vector>

namespace k5cmp {

// A member of a function block: what a call may pass it (input) or take from it (output).
struct BlockMember {
    const char *name;
    const char *type;
    bool input;
    bool output;
};

// The members of a standard function block (TON, CTU, R_TRIG, ...); null for another name.
const std::vector<BlockMember> *standardBlockMembers(std::string_view typeName);

// True for the functions every program may call: the IEC 61131-3 standard functions, the
// type conversions X_TO_Y, and the device's I/O functions (see the README).
bool isStandardFunction(std::string_view name);

} // namespace k5cmp
