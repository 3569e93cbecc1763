#include "Parser.h"

#include "Diagnostics.h"
#include "Lexer.h"

#include <array>
#include <optional>
#include <utility>

namespace k5cmp {

namespace {

struct SyntaxError {
    Problem problem;
};

// Binary operators by precedence, loosest first; unary minus and NOT, then "**", bind
// tighter than all of them.
struct Operator {
    TokenKind kind;
    Keyword keyword;
    Symbol symbol;
};
constexpr std::array<std::array<Operator, 4>, 7> kLevels = {{
    {{{TokenKind::Keyword, Keyword::Or, Symbol::None}}},
    {{{TokenKind::Keyword, Keyword::Xor, Symbol::None}}},
    {{{TokenKind::Keyword, Keyword::And, Symbol::None},
      {TokenKind::Symbol, Keyword::None, Symbol::Ampersand}}},
    {{{TokenKind::Symbol, Keyword::None, Symbol::Equal},
      {TokenKind::Symbol, Keyword::None, Symbol::NotEqual}}},
    {{{TokenKind::Symbol, Keyword::None, Symbol::Less},
      {TokenKind::Symbol, Keyword::None, Symbol::LessEqual},
      {TokenKind::Symbol, Keyword::None, Symbol::Greater},
      {TokenKind::Symbol, Keyword::None, Symbol::GreaterEqual}}},
    {{{TokenKind::Symbol, Keyword::None, Symbol::Plus},
      {TokenKind::Symbol, Keyword::None, Symbol::Minus}}},
    {{{TokenKind::Symbol, Keyword::None, Symbol::Star},
      {TokenKind::Symbol, Keyword::None, Symbol::Slash},
      {TokenKind::Keyword, Keyword::Mod, Symbol::None}}},
}};

// Keywords that end a statement list; the construct that opened the list checks which.
constexpr Keyword kListEnds[] = {Keyword::EndIf,   Keyword::Elsif,    Keyword::Else,
                                 Keyword::EndCase, Keyword::EndFor,   Keyword::EndWhile,
                                 Keyword::Until,   Keyword::EndRepeat};

class Parser {
public:
    explicit Parser(std::string_view source) : m_lexer(source), m_current(m_lexer.next()) {}

    ParseResult run()
    {
        try {
            statementList(false);
            if (cur().kind != TokenKind::End)
                fail(cur().line, unexpected(describe(cur())));
        } catch (const SyntaxError &e) {
            m_result.syntaxError = e.problem;
        }
        return std::move(m_result);
    }

private:
    // Counts one level of nesting for as long as it lives.
    class Nesting {
    public:
        Nesting(Parser &parser, int line) : m_parser(parser)
        {
            if (++m_parser.m_depth > kMaxNesting)
                m_parser.fail(line, nestedTooDeeply(kMaxNesting));
        }
        ~Nesting() { --m_parser.m_depth; }
        Nesting(const Nesting &) = delete;
        Nesting &operator=(const Nesting &) = delete;

    private:
        Parser &m_parser;
    };

    [[noreturn]] void fail(int line, std::string text) const
    {
        throw SyntaxError{Problem{line, std::move(text)}};
    }

    // The current token; a lexical problem there ends the parse with its own message.
    const Token &cur() const
    {
        if (m_current.kind == TokenKind::Error)
            fail(m_current.line, m_current.text);
        return m_current;
    }
    // The token after the current one; the only look-ahead the grammar needs.
    const Token &next()
    {
        if (!m_next)
            m_next = m_lexer.next();
        return *m_next;
    }
    void advance()
    {
        m_previousLine = m_current.line;
        if (m_next) {
            m_current = std::move(*m_next);
            m_next.reset();
        } else {
            m_current = m_lexer.next();
        }
    }
    int previousLine() const { return m_previousLine; }

    static bool isKeyword(const Token &t, Keyword k)
    {
        return t.kind == TokenKind::Keyword && t.keyword == k;
    }
    static bool isSymbol(const Token &t, Symbol s)
    {
        return t.kind == TokenKind::Symbol && t.symbol == s;
    }
    bool at(Keyword k) const { return isKeyword(cur(), k); }
    bool at(Symbol s) const { return isSymbol(cur(), s); }

    static std::string describe(const Token &t)
    {
        return t.kind == TokenKind::End ? std::string("the end of the program")
                                        : quotedName(t.text);
    }

    void expect(Keyword k)
    {
        if (!at(k))
            fail(cur().line, expectedButFound(quotedName(keywordText(k)), describe(cur())));
        advance();
    }
    void expect(Symbol s)
    {
        if (!at(s))
            fail(cur().line, expectedButFound(quotedName(symbolText(s)), describe(cur())));
        advance();
    }
    // A missing ';' is reported on the line of the statement that lacks it.
    void expectSemicolon()
    {
        if (!at(Symbol::Semicolon))
            fail(previousLine(), expectedButFound("';'", describe(cur())));
        advance();
    }
    void expectClosing(Keyword closing, const Token &opening)
    {
        if (!at(closing))
            fail(cur().line, notClosed(opening.text, opening.line, keywordText(closing)));
        advance();
    }

    bool atListEnd(bool inCase)
    {
        const Token &t = cur();
        if (t.kind == TokenKind::End)
            return true;
        if (t.kind == TokenKind::Keyword) {
            for (const Keyword k : kListEnds) {
                if (t.keyword == k)
                    return true;
            }
        }
        return inCase && atCaseLabel();
    }

    void statementList(bool inCase)
    {
        while (!atListEnd(inCase)) {
            if (at(Symbol::Semicolon)) {
                advance(); // an empty statement
                continue;
            }
            statement();
        }
    }

    void statement()
    {
        const Token &first = cur();
        const Nesting nesting(*this, first.line);
        ++m_result.statements;
        if (first.kind == TokenKind::Name)
            return assignmentOrCall();
        if (first.kind == TokenKind::Keyword) {
            switch (first.keyword) {
            case Keyword::If:
                return ifStatement();
            case Keyword::Case:
                return caseStatement();
            case Keyword::For:
                return forStatement();
            case Keyword::While:
                return whileStatement();
            case Keyword::Repeat:
                return repeatStatement();
            case Keyword::Exit:
                if (m_loops == 0)
                    fail(first.line, exitOutsideLoop());
                advance();
                return expectSemicolon();
            case Keyword::Return:
                advance();
                return expectSemicolon();
            default:
                break;
            }
        }
        fail(first.line, unexpected(describe(first)));
    }

    void assignmentOrCall()
    {
        NameUse use = designator();
        if (use.kind == NameUse::Kind::Call) {
            m_result.uses.push_back(std::move(use));
            return expectSemicolon();
        }
        if (!at(Symbol::Assign))
            fail(cur().line, expectedButFound("':='", describe(cur())));
        advance();
        use.kind = NameUse::Kind::Write;
        m_result.uses.push_back(std::move(use));
        expression();
        expectSemicolon();
    }

    // name { .member | .bit | [index, ...] }, or name(arguments). Starts at a name.
    NameUse designator()
    {
        NameUse use;
        use.line = cur().line;
        use.path.push_back(PathPart{cur().text, false});
        advance();
        if (at(Symbol::LeftParen)) {
            use.kind = NameUse::Kind::Call;
            arguments(use);
            return use;
        }
        // Each pass consumes at least one token, so the source bounds the loop.
        for (;;) {
            if (at(Symbol::Dot)) {
                advance();
                if (cur().kind == TokenKind::Name) {
                    use.path.push_back(PathPart{cur().text, false});
                    advance();
                } else if (cur().kind == TokenKind::Number) {
                    advance(); // a bit of an integer ends the path
                    break;
                } else {
                    fail(cur().line, expectedButFound("a member name", describe(cur())));
                }
            } else if (at(Symbol::LeftBracket)) {
                const Nesting nesting(*this, cur().line);
                advance();
                expression();
                while (at(Symbol::Comma)) {
                    advance();
                    expression();
                }
                expect(Symbol::RightBracket);
                use.path.back().indexed = true;
            } else if (at(Symbol::LeftParen)) {
                // fbs[i](...) calls one of an array of instances; a member is never called
                if (use.path.size() != 1 || !use.path.back().indexed)
                    fail(cur().line, notCallableForm());
                use.kind = NameUse::Kind::Call;
                arguments(use);
                return use;
            } else {
                break;
            }
        }
        return use;
    }

    void arguments(NameUse &call)
    {
        const Nesting nesting(*this, cur().line);
        advance(); // '('
        if (at(Symbol::RightParen)) {
            advance();
            return;
        }
        for (;;) {
            const Token &name = cur();
            const bool formal = name.kind == TokenKind::Name && (isSymbol(next(), Symbol::Assign) ||
                                                                 isSymbol(next(), Symbol::Output));
            if (formal) {
                const bool output = isSymbol(next(), Symbol::Output);
                call.formals.push_back(NameUse::Formal{name.text, output, name.line});
                advance();
                advance();
                if (output)
                    outputTarget();
                else
                    expression();
            } else {
                expression();
            }
            if (at(Symbol::Comma)) {
                advance();
                continue;
            }
            if (!at(Symbol::RightParen))
                fail(cur().line, expectedButFound("',' or ')'", describe(cur())));
            advance();
            return;
        }
    }

    void outputTarget()
    {
        if (cur().kind != TokenKind::Name)
            fail(cur().line, expectedButFound("a variable", describe(cur())));
        NameUse target = designator();
        if (target.kind == NameUse::Kind::Call)
            fail(target.line, notAssignable());
        target.kind = NameUse::Kind::Write;
        m_result.uses.push_back(std::move(target));
    }

    void expression()
    {
        const Nesting nesting(*this, cur().line);
        binary(0);
    }

    void binary(std::size_t level)
    {
        if (level == kLevels.size())
            return unary();
        binary(level + 1);
        while (atOperator(level)) {
            advance();
            binary(level + 1);
        }
    }

    bool atOperator(std::size_t level) const
    {
        const Token &t = cur();
        for (const Operator &op : kLevels[level]) {
            if (op.kind == TokenKind::Keyword && isKeyword(t, op.keyword))
                return true;
            if (op.kind == TokenKind::Symbol && isSymbol(t, op.symbol))
                return true;
        }
        return false;
    }

    void unary()
    {
        if (at(Symbol::Minus) || at(Symbol::Plus) || at(Keyword::Not)) {
            const Nesting nesting(*this, cur().line);
            advance();
            return unary();
        }
        primary();
        while (at(Symbol::Power)) {
            advance();
            unary();
        }
    }

    void primary()
    {
        const Token &t = cur();
        switch (t.kind) {
        case TokenKind::Number:
        case TokenKind::Literal:
        case TokenKind::String:
            return advance();
        case TokenKind::Keyword:
            if (t.keyword == Keyword::True || t.keyword == Keyword::False)
                return advance();
            break;
        case TokenKind::Symbol:
            if (t.symbol == Symbol::LeftParen) {
                advance();
                expression();
                return expect(Symbol::RightParen);
            }
            break;
        case TokenKind::Name:
            m_result.uses.push_back(designator());
            return;
        default:
            break;
        }
        fail(t.line, expectedButFound("an expression", describe(t)));
    }

    void ifStatement()
    {
        const Token opening = cur();
        advance();
        expression();
        expect(Keyword::Then);
        statementList(false);
        while (at(Keyword::Elsif)) {
            advance();
            expression();
            expect(Keyword::Then);
            statementList(false);
        }
        if (at(Keyword::Else)) {
            advance();
            statementList(false);
        }
        expectClosing(Keyword::EndIf, opening);
        expectSemicolon();
    }

    bool atCaseLabel()
    {
        const Token &t = cur();
        if (t.kind == TokenKind::Number)
            return true;
        if (isSymbol(t, Symbol::Minus) || isSymbol(t, Symbol::Plus))
            return next().kind == TokenKind::Number;
        if (t.kind != TokenKind::Name)
            return false;
        const Token &following = next();
        return isSymbol(following, Symbol::Colon) || isSymbol(following, Symbol::Comma) ||
               isSymbol(following, Symbol::Range);
    }

    void caseValue()
    {
        if (at(Symbol::Minus) || at(Symbol::Plus))
            advance();
        if (cur().kind == TokenKind::Number)
            return advance();
        if (cur().kind == TokenKind::Name) {
            NameUse use;
            use.line = cur().line;
            use.path.push_back(PathPart{cur().text, false});
            m_result.uses.push_back(std::move(use));
            return advance();
        }
        fail(cur().line, expectedButFound("a case value", describe(cur())));
    }

    void caseStatement()
    {
        const Token opening = cur();
        advance();
        expression();
        expect(Keyword::Of);
        while (atCaseLabel()) {
            for (;;) {
                caseValue();
                if (at(Symbol::Range)) {
                    advance();
                    caseValue();
                }
                if (!at(Symbol::Comma))
                    break;
                advance();
            }
            expect(Symbol::Colon);
            statementList(true);
        }
        if (at(Keyword::Else)) {
            advance();
            statementList(false);
        }
        expectClosing(Keyword::EndCase, opening);
        expectSemicolon();
    }

    void loopBody()
    {
        ++m_loops;
        statementList(false);
        --m_loops;
    }

    void forStatement()
    {
        const Token opening = cur();
        advance();
        if (cur().kind != TokenKind::Name)
            fail(cur().line, expectedButFound("the control variable", describe(cur())));
        NameUse control;
        control.kind = NameUse::Kind::Write;
        control.line = cur().line;
        control.path.push_back(PathPart{cur().text, false});
        m_result.uses.push_back(std::move(control));
        advance();
        expect(Symbol::Assign);
        expression();
        expect(Keyword::To);
        expression();
        if (at(Keyword::By)) {
            advance();
            expression();
        }
        expect(Keyword::Do);
        loopBody();
        expectClosing(Keyword::EndFor, opening);
        expectSemicolon();
    }

    void whileStatement()
    {
        const Token opening = cur();
        advance();
        expression();
        expect(Keyword::Do);
        loopBody();
        expectClosing(Keyword::EndWhile, opening);
        expectSemicolon();
    }

    void repeatStatement()
    {
        const Token opening = cur();
        advance();
        loopBody();
        expectClosing(Keyword::Until, opening);
        expression();
        expect(Keyword::EndRepeat);
        expectSemicolon();
    }

    Lexer m_lexer;
    Token m_current;
    std::optional<Token> m_next;
    int m_previousLine = 1;
    int m_depth = 0;
    int m_loops = 0;
    ParseResult m_result;
};

} // namespace

ParseResult parseProgram(std::string_view source)
{
    return Parser(source).run();
}

} // namespace k5cmp
