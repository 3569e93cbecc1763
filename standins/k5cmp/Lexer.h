#pragma once

#include "Token.h"

#include <string_view>
#include <vector>

namespace k5cmp {

// Splits a Structured Text source (Windows-1252 bytes, any line ends) into tokens. Comments
// "(* *)" and "//" and white space are dropped. Lexing stops at the first problem: the last
// tokens are then an Error token naming it and End.
std::vector<Token> tokenize(std::string_view source);

// The spelling of a keyword or symbol, for messages.
const char *keywordText(Keyword keyword);
const char *symbolText(Symbol symbol);

// True for the elementary type names that may prefix a typed literal (INT#5).
bool isElementaryTypeName(std::string_view name);

} // namespace k5cmp
