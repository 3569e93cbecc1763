#pragma once

struct CheckContext;

// Macro calls that name no macro, macros that call themselves (directly or through others),
// and macros no program calls.
void CheckMacros(CheckContext &context);
