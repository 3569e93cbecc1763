#pragma once

#include <cstdio>
#include <string>

// Every text the compiler reports, each built in one place. A message reaches the user as
// "ProgramName(line): text".
namespace k5cmp {

inline std::string quotedName(const std::string &name)
{
    return '\'' + name + '\'';
}

// Reading the source.
inline std::string commentNotClosed()
{
    return "comment '(*' not closed by '*)'";
}
inline std::string stringNotClosed()
{
    return "string not closed on its line";
}
inline std::string invalidEscape()
{
    return "invalid '$' sequence in a string";
}
inline std::string invalidCharacter(unsigned char c)
{
    char text[48];
    if (c > 32 && c < 127)
        std::snprintf(text, sizeof text, "invalid character '%c'", c);
    else
        std::snprintf(text, sizeof text, "invalid character (code %u)", unsigned(c));
    return text;
}
inline std::string invalidNumber(const std::string &text)
{
    return "invalid number " + quotedName(text);
}
inline std::string invalidLiteral(const std::string &text)
{
    return "invalid literal " + quotedName(text);
}
inline std::string placeholderLeft(const std::string &text)
{
    return "placeholder " + quotedName(text) +
           " left in the code; a marker line belongs in a comment";
}
inline std::string unknownLiteralType(const std::string &prefix)
{
    return "unknown type " + quotedName(prefix) + " before '#'";
}

// Syntax.
inline std::string expectedButFound(const std::string &expected, const std::string &found)
{
    return "expected " + expected + " but found " + found;
}
inline std::string notClosed(const std::string &opening, int line, const std::string &closing)
{
    return quotedName(opening) + " of line " + std::to_string(line) + " is not closed by " +
           quotedName(closing);
}
inline std::string unexpected(const std::string &found)
{
    return "unexpected " + found;
}
inline std::string exitOutsideLoop()
{
    return "EXIT outside a loop";
}
inline std::string nestedTooDeeply(int limit)
{
    return "nested more than " + std::to_string(limit) + " levels deep";
}
inline std::string notAssignable()
{
    return "only a variable can be assigned";
}
inline std::string notCallableForm()
{
    return "only a function, a function block instance or a program can be called";
}

// Names.
inline std::string undeclared(const std::string &name)
{
    return quotedName(name) + " is not declared";
}
inline std::string noSuchMember(const std::string &owner, const std::string &type,
                                const std::string &member)
{
    return quotedName(member) + " is not a member of " + quotedName(owner) + " (" + type + ")";
}
inline std::string hasNoMembers(const std::string &name, const std::string &type)
{
    return quotedName(name) + " (" + type + ") has no members";
}
inline std::string notAnArray(const std::string &name)
{
    return quotedName(name) + " is not an array";
}
inline std::string notCallable(const std::string &name)
{
    return quotedName(name) + " is not a function, a function block instance or a child program";
}
inline std::string blockTypeCalled(const std::string &name)
{
    return quotedName(name) + " is a function block type: call an instance of it";
}
inline std::string notAVariable(const std::string &name, const std::string &kind)
{
    return quotedName(name) + " is " + kind + ", not a variable";
}
inline std::string notAnInput(const std::string &formal, const std::string &type)
{
    return quotedName(formal) + " is not an input of " + type;
}
inline std::string notAnOutput(const std::string &formal, const std::string &type)
{
    return quotedName(formal) + " is not an output of " + type;
}
inline std::string constantAssigned(const std::string &name)
{
    return quotedName(name) + " is a constant and cannot be assigned";
}
inline std::string tooManyProblems()
{
    return "too many problems; the rest of this program is not checked";
}

// The project.
inline std::string sourceUnreadable(const std::string &file)
{
    return "the source file " + file + " cannot be read";
}
inline std::string sourceTooLarge(const std::string &file, long long limit)
{
    return "the source file " + file + " is larger than " + std::to_string(limit) + " bytes";
}
inline std::string languageNotSupported(unsigned language)
{
    return "only Structured Text can be compiled; the program's language is " +
           std::to_string(language);
}
inline std::string projectUnreadable(const std::string &reason)
{
    return "the project cannot be read: " + reason;
}
inline std::string applicationNotWritten(const std::string &reason)
{
    return "the application file cannot be written: " + reason;
}

} // namespace k5cmp
