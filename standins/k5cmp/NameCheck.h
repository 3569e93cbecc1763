#pragma once

#include "Parser.h"
#include "ProjectModel.h"

#include <vector>

namespace k5cmp {

// A program reports at most this many problems: past it the rest is most likely one mistake
// repeated, and a log of thousands of lines hides the first, which matters.
constexpr std::size_t kMaxProblemsPerProgram = 100;

// Checks that every name the program uses is declared: a variable of the program's own group,
// "(Global)" or "(Retain)" (members and indexes included), a define, a standard or device
// function, or a child program; and that calls pass function block instances only their
// inputs and take only their outputs. The problems come sorted by line.
std::vector<Problem> checkNames(const ProjectModel &project, const Program &program,
                                const std::vector<NameUse> &uses);

} // namespace k5cmp
