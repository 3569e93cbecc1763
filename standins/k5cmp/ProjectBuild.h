#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace k5cmp {

// A source larger than this is refused before it is read: generated programs stay far below,
// and the bound keeps a stray file from filling the memory.
constexpr std::uintmax_t kMaxSourceBytes = 16 * 1024 * 1024;

using MessageSink = std::function<void(const std::string &line)>; // Windows-1252

// Compiles the project in `folder`: every program is parsed and its names checked, each
// problem sent as "ProgramName(line): text" (line 0 for a problem of the whole file or
// project, named after the project folder then). On success writes APPLI.XTI and returns
// true. On failure removes an APPLI.XTI of an earlier build, so that no download can send an
// application that does not match the sources, and returns false.
bool buildProject(const std::filesystem::path &folder, const MessageSink &sink);

} // namespace k5cmp
