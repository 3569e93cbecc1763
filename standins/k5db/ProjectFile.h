#pragma once

#include <filesystem>
#include <string>

namespace k5db {

// appli.k5p, the INI file that marks a folder as a project:
//   [Project]
//   Name=<project name>
//   TopFolder=<name of the top folder of the program tree>
// Other sections and keys (written by the workbench or a workspace template) are ignored.
struct ProjectFile {
    std::string name;
    std::string topFolder = "Programs";

    static constexpr const char *kFileName = "appli.k5p";
    // Throws K5DB_ERR_FILE when the file cannot be read; missing keys keep their defaults.
    static ProjectFile read(const std::filesystem::path &file);
    // Writes the file whole or not at all.
    void write(const std::filesystem::path &file) const;
};

// Writes bytes to a temporary file beside `file`, then renames it over `file`, so a crash or
// a full disk leaves the old file instead of half a new one. Throws K5DB_ERR_FILE.
void writeFileAtomically(const std::filesystem::path &file, const std::string &bytes);

} // namespace k5db
