#pragma once

struct CheckContext;

// Code sections with code that no marker receives, and option variants whose template names
// no function block.
void CheckCodeSections(CheckContext &context);
