#pragma once

#include <string>

namespace k5db {

class Project;

// The whole project as stable UTF-8 text: the folder tree with its programs (section,
// language, schedule, flags, source file, comments, properties), then every variable group
// with its variables in order (type, dimension, string length, flags, initial value,
// comments, properties). Siblings are sorted by name, so two projects holding the same things
// print the same text whatever order they were made in.
std::string dumpProject(Project &project);

} // namespace k5db
