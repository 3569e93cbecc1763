#pragma once

struct CheckContext;

// Variable elements whose fields would not read back as written, whose type nothing defines,
// and variables declared twice in one group.
void CheckVariables(CheckContext &context);

// Function blocks defined twice (names ignore case): a run finds only the first.
void CheckFunctionBlockNames(CheckContext &context);
