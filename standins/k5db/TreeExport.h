#pragma once

#include <filesystem>

namespace k5db {

class Project;

// Folders nested deeper than this are not followed. The library only makes folders under
// existing ones, so only a damaged store reaches the bound; it stops a loop of parents.
constexpr int kMaxFolderDepth = 256;

// Writes appli.xml: the program tree (folders, and programs with their section and source
// file) as an export that can be deleted at any time; the store keeps everything.
void writeTreeExport(Project &project, const std::filesystem::path &file);

} // namespace k5db
