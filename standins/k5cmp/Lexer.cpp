#include "Lexer.h"

#include "Diagnostics.h"
#include "Names.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace k5cmp {

namespace {

struct KeywordName {
    const char *text;
    Keyword keyword;
};
constexpr KeywordName kKeywords[] = {
    {"AND", Keyword::And},
    {"OR", Keyword::Or},
    {"XOR", Keyword::Xor},
    {"NOT", Keyword::Not},
    {"MOD", Keyword::Mod},
    {"IF", Keyword::If},
    {"THEN", Keyword::Then},
    {"ELSIF", Keyword::Elsif},
    {"ELSE", Keyword::Else},
    {"END_IF", Keyword::EndIf},
    {"CASE", Keyword::Case},
    {"OF", Keyword::Of},
    {"END_CASE", Keyword::EndCase},
    {"FOR", Keyword::For},
    {"TO", Keyword::To},
    {"BY", Keyword::By},
    {"DO", Keyword::Do},
    {"END_FOR", Keyword::EndFor},
    {"WHILE", Keyword::While},
    {"END_WHILE", Keyword::EndWhile},
    {"REPEAT", Keyword::Repeat},
    {"UNTIL", Keyword::Until},
    {"END_REPEAT", Keyword::EndRepeat},
    {"EXIT", Keyword::Exit},
    {"RETURN", Keyword::Return},
    {"TRUE", Keyword::True},
    {"FALSE", Keyword::False},
};

struct SymbolName {
    const char *text;
    Symbol symbol;
};
// Two-character symbols first, so ":=" is never read as ':' and '='.
constexpr SymbolName kSymbols[] = {
    {":=", Symbol::Assign},       {"=>", Symbol::Output},      {"..", Symbol::Range},
    {"**", Symbol::Power},        {"<>", Symbol::NotEqual},    {"<=", Symbol::LessEqual},
    {">=", Symbol::GreaterEqual}, {":", Symbol::Colon},        {";", Symbol::Semicolon},
    {",", Symbol::Comma},         {"(", Symbol::LeftParen},    {")", Symbol::RightParen},
    {"[", Symbol::LeftBracket},   {"]", Symbol::RightBracket}, {".", Symbol::Dot},
    {"+", Symbol::Plus},          {"-", Symbol::Minus},        {"*", Symbol::Star},
    {"/", Symbol::Slash},         {"=", Symbol::Equal},        {"<", Symbol::Less},
    {">", Symbol::Greater},       {"&", Symbol::Ampersand},
};

constexpr const char *kElementaryTypes[] = {
    "BOOL", "SINT", "INT",   "DINT",  "LINT", "USINT", "UINT",   "UDINT",   "ULINT",
    "BYTE", "WORD", "DWORD", "LWORD", "REAL", "LREAL", "STRING", "WSTRING",
};
constexpr const char *kDurationPrefixes[] = {"T", "TIME", "LT", "LTIME"};
constexpr const char *kDatePrefixes[] = {
    "D", "DATE", "TOD", "TIME_OF_DAY", "DT", "DATE_AND_TIME", "LDT", "LTOD", "LDATE"};
// Units of a duration, longest first so "ms" is not read as "m" and "s".
constexpr const char *kDurationUnits[] = {"ms", "us", "ns", "d", "h", "m", "s"};

template <std::size_t N> bool listed(const char *const (&list)[N], std::string_view name)
{
    const std::string folded = foldedName(name);
    return std::any_of(std::begin(list), std::end(list),
                       [&](const char *entry) { return folded == entry; });
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isWordChar(char c)
{
    return isLetter(c) || isDigit(c);
}
int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 99;
}

// Digits with single '_' between them, every one below base. Empty or malformed: false.
bool validDigits(std::string_view digits, int base)
{
    if (digits.empty() || digits.front() == '_' || digits.back() == '_')
        return false;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (digits[i] == '_') {
            if (digits[i + 1] == '_')
                return false;
        } else if (digitValue(digits[i]) >= base) {
            return false;
        }
    }
    return true;
}

// A duration after "T#": an optional sign, then one or more number-unit pairs (1h30m, 1.5s,
// 1s_500ms), the numbers decimal with an optional fraction.
bool validDuration(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    bool any = false;
    while (i < text.size()) {
        if (text[i] == '_' && any) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && (isDigit(text[i]) || text[i] == '.'))
            ++i;
        const std::string_view number = text.substr(start, i - start);
        if (number.empty() || number.front() == '.' || number.back() == '.' ||
            std::count(number.begin(), number.end(), '.') > 1)
            return false;
        const auto unit =
            std::find_if(std::begin(kDurationUnits), std::end(kDurationUnits), [&](const char *u) {
                const std::string_view name(u);
                return text.size() - i >= name.size() &&
                       foldedName(text.substr(i, name.size())) == foldedName(name);
            });
        if (unit == std::end(kDurationUnits))
            return false;
        i += std::string_view(*unit).size();
        any = true;
    }
    return any;
}

} // namespace

class Lexer::Scanner {
public:
    explicit Scanner(std::string_view source) : m_src(source) {}

    Token token()
    {
        if (m_failed)
            return Token{TokenKind::End, Keyword::None, Symbol::None, {}, m_line};
        Token t = next();
        m_failed = t.kind == TokenKind::Error;
        return t;
    }

private:
    char peek(std::size_t ahead = 0) const
    {
        return m_pos + ahead < m_src.size() ? m_src[m_pos + ahead] : '\0';
    }
    bool atEnd() const { return m_pos >= m_src.size(); }

    Token make(TokenKind kind, std::size_t start, int line) const
    {
        Token t;
        t.kind = kind;
        t.text = std::string(m_src.substr(start, m_pos - start));
        t.line = line;
        return t;
    }
    Token error(std::string message, int line) const
    {
        Token t;
        t.kind = TokenKind::Error;
        t.text = std::move(message);
        t.line = line;
        return t;
    }

    // Skips blanks, line ends and comments; an error token for a comment left open.
    bool skipSpace(Token &problem)
    {
        while (!atEnd()) {
            const char c = peek();
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++m_pos;
            } else if (c == '/' && peek(1) == '/') {
                while (!atEnd() && peek() != '\n')
                    ++m_pos;
            } else if (c == '(' && peek(1) == '*') {
                const int startLine = m_line;
                m_pos += 2;
                while (!atEnd() && !(peek() == '*' && peek(1) == ')')) {
                    if (peek() == '\n')
                        ++m_line;
                    ++m_pos;
                }
                if (atEnd()) {
                    problem = error(commentNotClosed(), startLine);
                    return false;
                }
                m_pos += 2;
            } else {
                return true;
            }
        }
        return true;
    }

    Token next()
    {
        Token problem;
        if (!skipSpace(problem))
            return problem;
        if (atEnd())
            return Token{TokenKind::End, Keyword::None, Symbol::None, {}, m_line};
        const char c = peek();
        if (isLetter(c))
            return word();
        if (isDigit(c))
            return number(m_pos, TokenKind::Number);
        if (c == '\'' || c == '"')
            return string(c);
        if (c == '%' && peek(1) == '%')
            return placeholder();
        for (const SymbolName &s : kSymbols) {
            const std::string_view text(s.text);
            if (m_src.substr(m_pos, text.size()) == text) {
                const std::size_t start = m_pos;
                m_pos += text.size();
                Token t = make(TokenKind::Symbol, start, m_line);
                t.symbol = s.symbol;
                return t;
            }
        }
        return error(invalidCharacter(static_cast<unsigned char>(c)), m_line);
    }

    Token word()
    {
        const std::size_t start = m_pos;
        while (isWordChar(peek()))
            ++m_pos;
        const std::string_view name = m_src.substr(start, m_pos - start);
        if (peek() == '#') {
            ++m_pos;
            return typedLiteral(start, name);
        }
        Token t = make(TokenKind::Name, start, m_line);
        const std::string folded = foldedName(name);
        for (const KeywordName &k : kKeywords) {
            if (folded == k.text) {
                t.kind = TokenKind::Keyword;
                t.keyword = k.keyword;
                break;
            }
        }
        return t;
    }

    Token typedLiteral(std::size_t start, std::string_view prefix)
    {
        if (listed(kDurationPrefixes, prefix)) {
            if (peek() == '-' || peek() == '+')
                ++m_pos;
            while (isWordChar(peek()) || peek() == '.')
                ++m_pos;
            Token t = make(TokenKind::Literal, start, m_line);
            if (!validDuration(std::string_view(t.text).substr(prefix.size() + 1)))
                return error(invalidLiteral(t.text), m_line);
            return t;
        }
        if (listed(kDatePrefixes, prefix)) {
            const std::size_t valueStart = m_pos;
            while (isDigit(peek()) || peek() == '-' || peek() == ':' || peek() == '.')
                ++m_pos;
            Token t = make(TokenKind::Literal, start, m_line);
            if (m_pos == valueStart || isWordChar(peek()))
                return error(invalidLiteral(t.text), m_line);
            return t;
        }
        if (!listed(kElementaryTypes, prefix))
            return error(unknownLiteralType(std::string(prefix)), m_line);
        if (peek() == '-' || peek() == '+')
            ++m_pos;
        if (isDigit(peek()))
            return number(start, TokenKind::Number);
        if (peek() == '\'' || peek() == '"') {
            Token t = string(peek());
            if (t.kind == TokenKind::Error)
                return t;
            return make(TokenKind::String, start, m_line);
        }
        if (isLetter(peek())) {
            const std::size_t valueStart = m_pos;
            while (isWordChar(peek()))
                ++m_pos;
            const std::string value = foldedName(m_src.substr(valueStart, m_pos - valueStart));
            Token t = make(TokenKind::Number, start, m_line);
            if (value != "TRUE" && value != "FALSE")
                return error(invalidLiteral(t.text), m_line);
            return t;
        }
        return error(invalidLiteral(std::string(m_src.substr(start, m_pos - start))), m_line);
    }

    // "%%Name%%" is a generator placeholder that nothing replaced, most often the marker line
    // of a code section written bare instead of in a comment; named, it is found at once.
    Token placeholder()
    {
        const std::size_t start = m_pos;
        std::size_t end = start + 2;
        while (end < m_src.size() && isWordChar(m_src[end]))
            ++end;
        if (end + 1 < m_src.size() && m_src[end] == '%' && m_src[end + 1] == '%' && end > start + 2)
            return error(placeholderLeft(std::string(m_src.substr(start, end + 2 - start))),
                         m_line);
        return error(invalidCharacter('%'), m_line);
    }

    // A number from the digit at m_pos; the token's text starts at `start` (earlier for a
    // typed literal). Integers (1_000), based integers (16#FF) and reals (1.5, 2.0E-3, 1e6).
    Token number(std::size_t start, TokenKind kind)
    {
        const std::size_t digitsStart = m_pos;
        while (isDigit(peek()) || peek() == '_')
            ++m_pos;
        bool valid = validDigits(m_src.substr(digitsStart, m_pos - digitsStart), 10);
        if (peek() == '#') {
            const std::string_view baseText = m_src.substr(digitsStart, m_pos - digitsStart);
            const int base = baseText == "2" ? 2 : baseText == "8" ? 8 : baseText == "16" ? 16 : 0;
            ++m_pos;
            const std::size_t based = m_pos;
            while (isWordChar(peek()))
                ++m_pos;
            valid = base != 0 && validDigits(m_src.substr(based, m_pos - based), base);
        } else {
            if (peek() == '.' && isDigit(peek(1))) {
                ++m_pos;
                const std::size_t fraction = m_pos;
                while (isDigit(peek()) || peek() == '_')
                    ++m_pos;
                valid = valid && validDigits(m_src.substr(fraction, m_pos - fraction), 10);
            }
            if ((peek() == 'e' || peek() == 'E') &&
                (isDigit(peek(1)) || ((peek(1) == '-' || peek(1) == '+') && isDigit(peek(2))))) {
                m_pos += 2;
                while (isDigit(peek()))
                    ++m_pos;
            }
        }
        // "12ab" or "16#FFG": a number glued to letters is no number at all.
        while (isWordChar(peek())) {
            ++m_pos;
            valid = false;
        }
        Token t = make(kind, start, m_line);
        if (!valid)
            return error(invalidNumber(t.text), m_line);
        return t;
    }

    // A string on one line; '$' escapes the next character ($', $$, $N, ...) or two hex digits.
    Token string(char quote)
    {
        const std::size_t start = m_pos;
        ++m_pos;
        while (!atEnd() && peek() != quote) {
            if (peek() == '\n')
                return error(stringNotClosed(), m_line);
            if (peek() == '$') {
                const char escaped = peek(1);
                static constexpr std::string_view kEscapes = "$'\"LlNnPpRrTt";
                if (digitValue(escaped) < 16 && digitValue(peek(2)) < 16)
                    m_pos += 3;
                else if (escaped != '\0' && kEscapes.find(escaped) != std::string_view::npos)
                    m_pos += 2;
                else
                    return error(invalidEscape(), m_line);
                continue;
            }
            ++m_pos;
        }
        if (atEnd())
            return error(stringNotClosed(), m_line);
        ++m_pos;
        return make(TokenKind::String, start, m_line);
    }

    std::string_view m_src;
    std::size_t m_pos = 0;
    int m_line = 1;
    bool m_failed = false; // after a problem nothing more is read
};

Lexer::Lexer(std::string_view source) : m_scanner(std::make_unique<Scanner>(source)) {}

Lexer::~Lexer() = default;

Token Lexer::next()
{
    return m_scanner->token();
}

std::vector<Token> tokenize(std::string_view source)
{
    Lexer lexer(source);
    std::vector<Token> tokens;
    // Every token but End consumes at least one byte, so the source bounds the loop.
    for (;;) {
        tokens.push_back(lexer.next());
        if (tokens.back().kind == TokenKind::End)
            return tokens;
    }
}

const char *keywordText(Keyword keyword)
{
    for (const KeywordName &k : kKeywords) {
        if (k.keyword == keyword)
            return k.text;
    }
    return "";
}

const char *symbolText(Symbol symbol)
{
    for (const SymbolName &s : kSymbols) {
        if (s.symbol == symbol)
            return s.text;
    }
    return "";
}

bool isElementaryTypeName(std::string_view name)
{
    return listed(kElementaryTypes, name);
}

} // namespace k5cmp
