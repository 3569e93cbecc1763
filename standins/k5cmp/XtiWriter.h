#pragma once

#include "ProjectModel.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace k5cmp {

// The compiled application, in the project folder; its layout is in the README.
constexpr const char *kApplicationFileName = "APPLI.XTI";

struct CompiledProgram {
    const Program *program = nullptr;
    int statements = 0;
    std::uint32_t sourceCrc = 0; // CRC-32 of the source file's bytes
};

// CRC-32 (the polynomial of zip and Ethernet) of bytes.
std::uint32_t crc32(std::string_view bytes);

// The text of APPLI.XTI: header, programs in execution order, variables, checksum line.
std::string applicationText(const ProjectModel &project,
                            const std::vector<CompiledProgram> &programs);

// Writes APPLI.XTI into the folder whole or not at all; throws std::exception on failure.
void writeApplication(const std::filesystem::path &folder, const std::string &text);

} // namespace k5cmp
