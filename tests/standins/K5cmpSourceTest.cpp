#include "K5cmpFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

struct SourceCase {
    const char *what;
    std::string source;
    std::vector<std::string> messages; // empty: compiles
};

// A program "Main" that sees every kind of name: its own variables, a global, a retained
// variable, standard and user function block instances, an array, a child program, a
// define.
class K5cmpSources : public K5cmpProject {
protected:
    void SetUp() override
    {
        K5cmpProject::SetUp();
        const uint32_t scaler = addProgram("Scaler", "Out := In * 2.0;\n", K5DB_SECTION_UDFB);
        ASSERT_NE(scaler, 0u);
        declare("Scaler", "In", "REAL", 0, K5DB_VAR_IN);
        declare("Scaler", "Out", "REAL", 0, K5DB_VAR_OUT);
        declare("Scaler", "Gain", "REAL");
        declare("Scaler", "Delay", "TON");
        ASSERT_NE(addProgram("Child", "Flag := TRUE;\n", K5DB_SECTION_CHILD), 0u);
        main = addProgram("Main", "");
        ASSERT_NE(main, 0u);
        for (const auto &[name, typeName, dim] :
             std::vector<std::tuple<const char *, const char *, uint32_t>>{{"x", "INT", 0},
                                                                           {"y", "INT", 0},
                                                                           {"b", "BOOL", 0},
                                                                           {"r", "REAL", 0},
                                                                           {"t", "TIME", 0},
                                                                           {"s", "STRING", 0},
                                                                           {"arr", "INT", 10},
                                                                           {"tmr", "TON", 0},
                                                                           {"cnt", "CTUD", 0},
                                                                           {"edge", "R_TRIG", 0},
                                                                           {"latch", "SR", 0},
                                                                           {"fb", "Scaler", 0},
                                                                           {"fbs", "Scaler", 4}}) {
            ASSERT_NE(declare("Main", name, typeName, dim), 0u) << name;
        }
        ASSERT_NE(declare("(Global)", "Flag", "BOOL"), 0u);
        ASSERT_NE(declare("(Retain)", "Total", "DINT"), 0u);
        QFile defines(folder + QStringLiteral("/appli.EQV"));
        ASSERT_TRUE(defines.open(QIODevice::WriteOnly));
        defines.write("// ++ AddedByConfigurator\r\n#define HIGH_LIMIT 10\r\n"
                      "  #define  Casdu_Base 7\r\n// -- AddedByConfigurator\r\n");
    }

    void expectCases(const std::vector<SourceCase> &cases)
    {
        for (const SourceCase &c : cases) {
            SCOPED_TRACE(c.what);
            writeSource(main, c.source);
            const BuildRun run = build();
            EXPECT_THAT(run.messages, ElementsAreArray(c.messages));
            EXPECT_EQ(run.result, c.messages.empty() ? 1 : 0);
        }
    }

    uint32_t main = 0;
};

} // namespace

TEST_F(K5cmpSources, SoundStructuredTextCompiles)
{
    expectCases({
        {"empty program", "", {}},
        {"comments only", "(* a comment\nover lines *)\n// and a line comment\n", {}},
        {"marker lines in comments", "(* %%PortCalls%% *)\n// %%Scan%%\n", {}},
        {"assignment and empty statements", "x := 1;;\n;y := x;\n", {}},
        {"if elsif else",
         "IF b THEN\n  x := 1;\nELSIF x > 2 THEN\n  x := 2;\nELSIF y = 0 THEN\n  ;\nELSE\n"
         "  x := 3;\nEND_IF;\n",
         {}},
        {"case with lists, ranges, negative values, constants and else",
         "CASE x OF\n  1, 2: y := 1;\n  3..5, 7: y := 2; b := TRUE;\n  -4 .. -2: y := 3;\n"
         "  HIGH_LIMIT: y := 4;\n  16#10: ;\nELSE\n  y := 0;\nEND_CASE;\n",
         {}},
        {"loops with exit and return",
         "FOR x := 1 TO 10 BY 2 DO\n  IF x = y THEN EXIT; END_IF;\nEND_FOR;\n"
         "FOR x := 10 TO 1 BY -1 DO y := y + x; END_FOR;\n"
         "WHILE x < 100 DO x := x * 2; END_WHILE;\n"
         "REPEAT x := x - 1; UNTIL x <= 0 END_REPEAT;\nRETURN;\n",
         {}},
        {"function block calls, formal and positional, outputs with =>",
         "tmr(IN := b, PT := T#1s500ms);\nb := tmr.Q;\nt := tmr.ET;\n"
         "cnt(CU := b, CD := FALSE, R := FALSE, LD := FALSE, PV := 5, QU => b, CV => x);\n"
         "edge(b);\nlatch(S1 := edge.Q, R := NOT b, Q1 => b);\n",
         {}},
        {"functions and conversions",
         "r := ABS(r) + SQRT(2.0);\nx := MAX(x, y, 3);\nr := INT_TO_REAL(x);\n"
         "x := REAL_TO_INT(r);\nx := LIMIT(0, x, 10);\ns := CONCAT(s, 'x');\n"
         "b := DI_Read(1, 2) XOR b;\nDO_Write(1, 3, b);\n",
         {}},
        {"literals",
         "x := 16#FF + 2#1010 + 8#17 + INT#5 + INT#16#7F + 1_000 + DINT#-5;\n"
         "r := 1.5E-3 + 2.0 + REAL#1.5 + 1e6 + 3.0e+2;\nb := TRUE OR FALSE OR BOOL#TRUE;\n"
         "s := 'it$'s $$5$N$0A';\ns := \"wide\";\nt := T#1h_30m + TIME#2.5s + t#-5ms + "
         "T#1d2h3m4s5ms;\n",
         {}},
        {"Windows-1252 text in strings and comments", "s := 'Caf\xE9 \x80';\n(* \xA7 *)\n", {}},
        {"arrays, members and bit access",
         "arr[x + 1] := arr[2] + arr[arr[0]];\nfb(In := r, Out => r);\nr := fb.Out;\n"
         "fb.In := 1.0;\nfbs[1](In := r);\nb := fbs[2].Delay.Q;\nb := x.3;\n",
         {}},
        {"letter case never matters",
         "X := Y;\nif B then TMR.q := false; end_if;\nCASE x of 1: Y := high_limit; end_case;\n"
         "Fb(IN := R);\nflag := casdu_base > 0;\n",
         {}},
        {"precedence and nesting",
         "b := NOT b AND x < y OR x = y XOR b & (x <> y);\nx := -x ** 2 * 3 MOD 2 + (y - (x / "
         "2));\n"
         "b := x >= y AND x <= y;\n",
         {}},
        {"globals, retained variables, child programs",
         "Flag := NOT Flag;\nTotal := Total + 1;\nChild();\n",
         {}},
    });
}

TEST_F(K5cmpSources, SyntaxProblemsNameTheProgramAndLine)
{
    expectCases({
        {"expression missing", "x := ;\n", {"Main(1): expected an expression but found ';'"}},
        {"semicolon missing, reported on its statement's line",
         "x := 1\ny := 2;\n",
         {"Main(1): expected ';' but found 'y'"}},
        {"semicolon missing at the end",
         "IF b THEN x := 1; END_IF",
         {"Main(1): expected ';' but found the end of the program"}},
        {"if not closed",
         "IF b THEN\n  x := 1;\n",
         {"Main(3): 'IF' of line 1 is not closed by 'END_IF'"}},
        {"loop closed by the wrong keyword",
         "x := 0;\nWHILE b DO\n  x := 1;\nEND_IF;\n",
         {"Main(4): 'WHILE' of line 2 is not closed by 'END_WHILE'"}},
        {"then missing", "IF b\n  x := 1;\nEND_IF;\n", {"Main(2): expected 'THEN' but found 'x'"}},
        {"stray end", "x := 1;\nEND_IF;\n", {"Main(2): unexpected 'END_IF'"}},
        {"statement starting with a number", "1 := x;\n", {"Main(1): unexpected '1'"}},
        {"equals instead of assignment", "x = 1;\n", {"Main(1): expected ':=' but found '='"}},
        {"parenthesis not closed", "x := (1 + 2;\n", {"Main(1): expected ')' but found ';'"}},
        {"argument list not closed",
         "x := MAX(1, 2;\n",
         {"Main(1): expected ',' or ')' but found ';'"}},
        {"call result assigned to", "ABS(x) := 1;\n", {"Main(1): expected ';' but found ':='"}},
        {"member called",
         "fb.Delay(IN := b);\n",
         {"Main(1): only a function, a function block instance or a program can be called"}},
        {"exit outside a loop", "IF b THEN\n  EXIT;\nEND_IF;\n", {"Main(2): EXIT outside a loop"}},
        {"case value missing",
         "CASE x OF\n  1..: y := 1;\nEND_CASE;\n",
         {"Main(2): expected a case value but found ':'"}},
        {"for without a control variable",
         "FOR 1 TO 2 DO END_FOR;\n",
         {"Main(1): expected the control variable but found '1'"}},
        {"repeat without until",
         "REPEAT\n  x := 1;\nEND_REPEAT;\n",
         {"Main(3): 'REPEAT' of line 1 is not closed by 'UNTIL'"}},
        {"comment not closed",
         "x := 1;\n(* open\nx := 2;\n",
         {"Main(2): comment '(*' not closed by '*)'"}},
        {"string not closed", "s := 'abc;\nx := 1;\n", {"Main(1): string not closed on its line"}},
        {"bad escape in a string", "s := 'a$Qb';\n", {"Main(1): invalid '$' sequence in a string"}},
        {"digit outside its base", "x := 16#FG;\n", {"Main(1): invalid number '16#FG'"}},
        {"unknown base", "x := 3#12;\n", {"Main(1): invalid number '3#12'"}},
        {"number glued to letters", "x := 12ab;\n", {"Main(1): invalid number '12ab'"}},
        {"bad duration unit", "t := T#5q;\n", {"Main(1): invalid literal 'T#5q'"}},
        {"unknown literal type", "x := FOO#5;\n", {"Main(1): unknown type 'FOO' before '#'"}},
        {"invalid character", "x := 1 $ 2;\n", {"Main(1): invalid character '$'"}},
        {"placeholder left in the code",
         "x := 1;\n    %%PortCalls%%\n",
         {"Main(2): placeholder '%%PortCalls%%' left in the code; a marker line belongs in a "
          "comment"}},
        {"percent signs that are no placeholder", "x := %%;\n", {"Main(1): invalid character '%'"}},
        {"character outside ASCII in code",
         "x := 1;\n\xE9 := 2;\n",
         {"Main(2): invalid character (code 233)"}},
        {"only the first syntax problem",
         "x := ;\ny := ;\n",
         {"Main(1): expected an expression but found ';'"}},
    });
}

TEST_F(K5cmpSources, EveryUndeclaredOrMisusedNameIsReported)
{
    expectCases({
        {"undeclared variables, each where it is used",
         "z := 1;\nx := w + 1;\n\nFOR k := 1 TO 2 DO END_FOR;\n",
         {"Main(1): 'z' is not declared", "Main(2): 'w' is not declared",
          "Main(4): 'k' is not declared"}},
        {"a variable of another program", "In := 1.0;\n", {"Main(1): 'In' is not declared"}},
        {"unknown member", "b := tmr.Q2;\n", {"Main(1): 'Q2' is not a member of 'tmr' (TON)"}},
        {"unknown member of a user block",
         "r := fb.Offset;\n",
         {"Main(1): 'Offset' is not a member of 'fb' (Scaler)"}},
        {"member of a member",
         "b := fb.Delay.Q3;\n",
         {"Main(1): 'Q3' is not a member of 'Delay' (TON)"}},
        {"member of a plain variable", "x := y.Q;\n", {"Main(1): 'y' (INT) has no members"}},
        {"index of a plain variable", "x := y[1];\n", {"Main(1): 'y' is not an array"}},
        {"output passed as input",
         "tmr(IN := b, Q := b);\n",
         {"Main(1): 'Q' is not an input of TON"}},
        {"input taken as output",
         "tmr(IN := b, PT => t);\n",
         {"Main(1): 'PT' is not an output of TON"}},
        {"private member of a user block passed",
         "fb(Gain := 1.0);\n",
         {"Main(1): 'Gain' is not an input of Scaler"}},
        {"unknown function", "x := Nope(1);\n", {"Main(1): 'Nope' is not declared"}},
        {"block type called",
         "TON(IN := b);\n",
         {"Main(1): 'TON' is a function block type: call an instance of it"}},
        {"user block type called",
         "Scaler(In := r);\n",
         {"Main(1): 'Scaler' is a function block type: call an instance of it"}},
        {"plain variable called",
         "x(1);\n",
         {"Main(1): 'x' is not a function, a function block instance or a child program"}},
        {"program of the cycle called",
         "Main();\n",
         {"Main(1): 'Main' is not a function, a function block instance or a child program"}},
        {"constant assigned",
         "HIGH_LIMIT := 3;\n",
         {"Main(1): 'HIGH_LIMIT' is a constant and cannot be assigned"}},
        {"function read as a variable",
         "x := ABS;\n",
         {"Main(1): 'ABS' is a function, not a variable"}},
        {"program read as a variable",
         "b := Child;\n",
         {"Main(1): 'Child' is a program, not a variable"}},
        {"undeclared case constant",
         "CASE x OF\n  NOPE: ;\nEND_CASE;\n",
         {"Main(2): 'NOPE' is not declared"}},
        {"undeclared output target",
         "tmr(IN := b, Q => nowhere);\n",
         {"Main(1): 'nowhere' is not declared"}},
    });
}

TEST_F(K5cmpSources, NestingBeyondTheBoundGivesAMessageNotACrash)
{
    const int deep = 100000;
    std::string parens = "x := " + std::string(deep, '(') + "1" + std::string(deep, ')') + ";\n";
    std::string ifs;
    for (int i = 0; i < 300; ++i)
        ifs += "IF b THEN\n";
    std::string negations = "b := " + std::string(deep, '-') + "1;\n";
    std::string withinBound = "x := " + std::string(90, '(') + "1" + std::string(90, ')') + ";\n";
    expectCases({
        {"parentheses", parens, {"Main(1): nested more than 100 levels deep"}},
        {"statements", ifs, {"Main(100): nested more than 100 levels deep"}},
        {"unary operators", negations, {"Main(1): nested more than 100 levels deep"}},
        {"within the bound", withinBound, {}},
    });
}

TEST_F(K5cmpSources, ManyProblemsStopAfterTheFirstHundred)
{
    std::string source;
    for (int i = 0; i < 150; ++i)
        source += "nope := 1;\n";
    writeSource(main, source);
    const BuildRun run = build();
    EXPECT_EQ(run.result, 0);
    ASSERT_EQ(run.messages.size(), 101u);
    EXPECT_EQ(run.messages[99], "Main(100): 'nope' is not declared");
    EXPECT_EQ(run.messages[100],
              "Main(100): too many problems; the rest of this program is not checked");
}

TEST_F(K5cmpSources, AnyBytesGiveAResultWithoutACrash)
{
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    const std::vector<std::string> sources = {everyByte,
                                              std::string("x := '"),
                                              std::string("(*"),
                                              std::string("x := T#"),
                                              std::string("x := 16#"),
                                              std::string("CASE x OF"),
                                              std::string("tmr(IN :="),
                                              std::string(1, '\0') + "x := 1;",
                                              std::string("x := 1e"),
                                              std::string("arr[")};
    for (const std::string &source : sources) {
        SCOPED_TRACE(source);
        writeSource(main, source);
        const BuildRun run = build();
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.messages.size(), 1u);
    }
}
