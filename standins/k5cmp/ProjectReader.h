#pragma once

#include "ProjectModel.h"

#include <filesystem>

namespace k5cmp {

// The defines file of a project; each "#define NAME value" line declares NAME.
constexpr const char *kDefinesFileName = "appli.EQV";

// Reads the saved state of the project in `folder` through the project database's store,
// read-only: another client may have the project open, and nothing is changed. Programs come
// in execution order: the cycle's sections (begin, SFC, end), then child programs, then
// function blocks; by name within a section. Throws std::exception naming the problem.
ProjectModel readProject(const std::filesystem::path &folder);

// The names "#define" lines declare; other lines are ignored.
void readDefines(std::string_view text, ProjectModel &model);

} // namespace k5cmp
