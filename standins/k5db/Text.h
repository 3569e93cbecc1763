#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace k5db {

// Longest name of a folder, program, group, variable or type, in bytes.
constexpr std::size_t kMaxNameBytes = 255;
// Longest comment, property or initial value. A template puts a few hundred characters in a
// comment; the bound keeps a runaway caller from filling the store.
constexpr std::size_t kMaxValueBytes = 65536;
// Longest project path the library accepts.
constexpr std::size_t kMaxPathBytes = 4096;

// Reads a caller's NUL-terminated text without reading more than limit + 1 bytes; a null
// pointer or a longer text throws K5DB_ERR_ARGUMENT.
std::string_view callerText(const char *text, std::size_t limit);

// The library's interface speaks Windows-1252; the store and the file system speak UTF-8.
std::string utf8FromAnsi(std::string_view ansi);
std::string ansiFromUtf8(std::string_view utf8); // '?' for what Windows-1252 cannot hold
// The same, appended to `out`.
void appendAnsiFromUtf8(std::string &out, std::string_view utf8);

// IEC 61131-3 identifiers: a letter or '_' first, then letters, digits and '_'.
bool isIdentifier(std::string_view name);
// Folder names: not empty, no separator or control character, not "." or "..".
bool isFolderName(std::string_view name);
// ASCII case folding, the comparison the store uses for every name.
std::string foldName(std::string_view name);

} // namespace k5db
