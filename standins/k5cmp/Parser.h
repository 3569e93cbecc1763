#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k5cmp {

// One part of a variable path: a.b[i].c gives "a", "b" (indexed) and "c".
struct PathPart {
    std::string name;
    bool indexed = false;
};

// A name the program uses, for the name check: read, written or called, where.
struct NameUse {
    enum class Kind : unsigned char { Read, Write, Call };
    struct Formal {
        std::string name;
        bool output = false; // "name => variable" rather than "name := value"
        int line = 0;
    };
    Kind kind = Kind::Read;
    int line = 0;
    std::vector<PathPart> path; // a bit access (x.3) ends the path
    std::vector<Formal> formals;
};

struct Problem {
    int line = 0;
    std::string text;
};

struct ParseResult {
    std::vector<NameUse> uses;          // in source order
    int statements = 0;                 // every statement, nested ones included
    std::optional<Problem> syntaxError; // parsing stops at the first
};

// Statements and expressions nest at most this deep. Recursive descent spends stack on every
// level; the bound turns a pathological source into a message instead of a stack overflow,
// and sits far above what any hand-written or generated program needs.
constexpr int kMaxNesting = 100;

// Parses the body of a program: a list of Structured Text statements.
ParseResult parseProgram(std::string_view source);

} // namespace k5cmp
