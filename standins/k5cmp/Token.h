#pragma once

#include <cstdint>
#include <string>

namespace k5cmp {

enum class TokenKind : std::uint8_t {
    End,     // the end of the source
    Name,    // an identifier that is no keyword
    Keyword, // see Keyword
    Number,  // integer, real, based or typed literal
    Literal, // duration, date, time of day or date and time
    String,  // single- or double-quoted
    Symbol,  // see Symbol
    Error,   // a lexical problem; text holds the message
};

enum class Keyword : std::uint8_t {
    None,
    And,
    Or,
    Xor,
    Not,
    Mod,
    If,
    Then,
    Elsif,
    Else,
    EndIf,
    Case,
    Of,
    EndCase,
    For,
    To,
    By,
    Do,
    EndFor,
    While,
    EndWhile,
    Repeat,
    Until,
    EndRepeat,
    Exit,
    Return,
    True,
    False,
};

enum class Symbol : std::uint8_t {
    None,
    Assign,    // :=
    Output,    // =>
    Colon,     // :
    Semicolon, // ;
    Comma,     // ,
    LeftParen,
    RightParen,
    LeftBracket,
    RightBracket,
    Dot,
    Range, // ..
    Plus,
    Minus,
    Star,
    Slash,
    Power, // **
    Equal,
    NotEqual, // <>
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    Ampersand,
};

struct Token {
    TokenKind kind = TokenKind::End;
    Keyword keyword = Keyword::None;
    Symbol symbol = Symbol::None;
    std::string text; // as written; the message for an error
    int line = 1;
};

} // namespace k5cmp
