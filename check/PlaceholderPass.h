#pragma once

struct CheckContext;

// Placeholders that name nothing the run could fill, unclosed placeholders, inline functions
// with unknown names or wrong arguments; code sections no marker receives.
void CheckPlaceholders(CheckContext &context);
void CheckCodeSections(CheckContext &context);
