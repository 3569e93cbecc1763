#pragma once

struct CheckContext;

// Elements and attributes the template language does not know where they stand, each with the
// nearest known name; a program child that looks like a misspelt word is reported as one.
void CheckVocabulary(CheckContext &context);
