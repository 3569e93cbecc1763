#pragma once

#include <string>
#include <string_view>

namespace k5cmp {

// Structured Text never minds letter case: every name is compared in this form (ASCII upper
// case; identifiers hold nothing else).
inline std::string foldedName(std::string_view name)
{
    std::string folded(name);
    for (char &c : folded) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

} // namespace k5cmp
