#pragma once

#include "Token.h"

#include <memory>
#include <string_view>
#include <vector>

namespace k5cmp {

// Reads the tokens of a Structured Text source (Windows-1252 bytes, any line ends) one at a
// time, so a parser holds only the few it looks at, whatever the source's size. Comments
// "(* *)" and "//" and white space are dropped. A lexical problem gives one Error token
// naming it; after it, and at the end of the source, every call gives End.
class Lexer {
public:
    explicit Lexer(std::string_view source); // the source must outlive the lexer
    ~Lexer();
    Lexer(const Lexer &) = delete;
    Lexer &operator=(const Lexer &) = delete;

    Token next();

private:
    class Scanner;
    std::unique_ptr<Scanner> m_scanner;
};

// All tokens of a source, up to and including End (after an Error token, if any).
std::vector<Token> tokenize(std::string_view source);

// The spelling of a keyword or symbol, for messages.
const char *keywordText(Keyword keyword);
const char *symbolText(Symbol symbol);

// True for the elementary type names that may prefix a typed literal (INT#5).
bool isElementaryTypeName(std::string_view name);

} // namespace k5cmp
