#pragma once

struct CheckContext;

// Placeholders that name nothing the run could fill, unclosed placeholders, inline functions
// with unknown names or wrong arguments, macro calls where macros are not expanded.
void CheckPlaceholders(CheckContext &context);
