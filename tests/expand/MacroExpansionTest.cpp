#include "template/MacroExpansion.h"
#include "common/RunLog.h"
#include "support/QtPrinters.h"
#include "template/TCodeTab.h"

#include "support/LineList.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

// A macro list as the template parser leaves it: sorted, looked up in any case.
class MacroSet {
public:
    void add(const char *name, QStringList body)
    {
        auto tab = std::make_unique<TCodeTab>(QString::fromUtf8(name));
        tab->reCode = std::move(body);
        macros.add(tab->name, tab.get());
        m_tabs.push_back(std::move(tab));
    }
    TCodeTab &tab(qsizetype i) { return *m_tabs[i]; }

    NamedList<TCodeTab *> macros{NameOrder::Sorted, NameRepeats::Refuse};

private:
    std::vector<std::unique_ptr<TCodeTab>> m_tabs;
};

MacroSet exampleMacros()
{
    MacroSet set;
    set.add("SendFrame", lines({"Buf[0] := %%0%%;", "Send(Buf, %%1%%);\n"}));
    set.add("Sum",
            lines({"X := %%0%% + %%1%%;", "Y := %%Addr%% + %%0%%;", "", "Z := %%$1%% * %%0x0%%;"}));
    set.add("Outer", lines({"  %%Inner(%%0%%)%%", "  %%Inner(9)%%", "after;"}));
    set.add("Inner", lines({"in := %%0%%;"}));
    set.add("Two", lines({"%%Inner(1)%%", "%%Inner(2)%%"}));
    return set;
}

struct ExpandCase {
    const char *title;
    QStringList code;
    QStringList expected;
};

TEST(ExpandMacros, ReplacesEachCallByCommentAndIndentedBody)
{
    const ExpandCase cases[] = {
        {"worked example: SendFrame",
         lines({"IF a THEN", "    %%SendFrame(16#68,Len)%%", "END_IF;"}),
         lines({"IF a THEN", "    // Macro: SendFrame expanded", "    Buf[0] := 16#68;",
                "    Send(Buf, Len);", "END_IF;"})},
        {"only the first placeholder of a body line is filled; empty body lines stay",
         lines({"%%Sum(16#68,Len)%%"}),
         lines({"// Macro: Sum expanded", "X := 16#68 + %%1%%;", "Y := %%Addr%% + %%0%%;", "",
                "Z := Len * %%0x0%%;"})},
        {"a call that is not the first placeholder is not expanded",
         lines({"%%Addr%% %%SendFrame(1,2)%%"}), lines({"%%Addr%% %%SendFrame(1,2)%%"})},
        {"without parentheses there are no arguments", lines({"%%SendFrame%%"}),
         lines({"// Macro: SendFrame expanded", "Buf[0] := %%0%%;", "Send(Buf, %%1%%);"})},
        {"an argument holding a placeholder makes no call", lines({"%%SendFrame(%%A%%,1)%%"}),
         lines({"%%SendFrame(%%A%%,1)%%"})},
        {"code around the call is lost; the name is kept as written",
         lines({"  x := 1; %%sendframe(a,b)%% y := 2;"}),
         lines({"  // Macro: sendframe expanded", "  Buf[0] := a;", "  Send(Buf, b);"})},
        {"a blank splits an unquoted argument, quotes keep commas",
         lines({"%%SendFrame(Len 2)%%", "%%SendFrame(\"a, b\",\"say \"\"hi\"\"\")%%"}),
         lines({"// Macro: SendFrame expanded", "Buf[0] := Len;", "Send(Buf, 2);",
                "// Macro: SendFrame expanded", "Buf[0] := a, b;", "Send(Buf, say \"hi\");"})},
        {"calls inside a body are expanded depth first, indentation adds up; an argument "
         "holding a placeholder makes no call",
         lines({"\t%%Outer(7)%%", "done;"}),
         lines({" // Macro: Outer expanded", "   %%Inner(%%0%%)%%", "   // Macro: Inner expanded",
                "   in := 9;", " after;", "done;"})},
        {"two calls in one body", lines({"%%Two%%"}),
         lines({"// Macro: Two expanded", "// Macro: Inner expanded", "in := 1;",
                "// Macro: Inner expanded", "in := 2;"})},
        {"unknown names and lone markers stay", lines({"%%Nope(1)%%", "a %% b", "%%%%"}),
         lines({"%%Nope(1)%%", "a %% b", "%%%%"})},
    };
    MacroSet set = exampleMacros();
    for (const ExpandCase &c : cases) {
        SCOPED_TRACE(c.title);
        RunLog log;
        QStringList code = c.code;
        ExpandMacros(code, set.macros, log);
        EXPECT_EQ(code, c.expected);
        EXPECT_TRUE(log.lines().isEmpty());
    }
}

TEST(ExpandMacros, SelfCallingMacroIsLeftAtTheRepeatedCallWithOneErrorLine)
{
    MacroSet set;
    set.add("Loop", lines({"a;", "%%Loop%%"}));
    set.add("Ping", lines({"%%Pong%%"}));
    set.add("Pong", lines({"%%Ping%%"}));
    RunLog log;
    QStringList code = lines({"%%Loop%%", "%%Loop%%", "%%Ping%%"});
    ExpandMacros(code, set.macros, log);
    EXPECT_EQ(code, lines({"// Macro: Loop expanded", "a;", "%%Loop%%", "// Macro: Loop expanded",
                           "a;", "%%Loop%%", "// Macro: Ping expanded", "// Macro: Pong expanded",
                           "%%Ping%%"}));
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines()[0].endsWith(macroCallsItself(QStringLiteral("Loop"))));
    EXPECT_TRUE(log.lines()[1].endsWith(macroCallsItself(QStringLiteral("Ping"))));
}

TEST(ExpandMacros, MacroExpandedInItsOwnBodyTerminates)
{
    // The template expands each program's code while it is read, a macro's own included,
    // and the macro is already listed by then.
    MacroSet set;
    set.add("Self", lines({"x;", "%%Self%%"}));
    RunLog log;
    ExpandMacros(set.tab(0).reCode, set.macros, log);
    EXPECT_EQ(set.tab(0).reCode, lines({"x;", "// Macro: Self expanded", "x;", "%%Self%%"}));
    EXPECT_EQ(log.lines().size(), 1);
}

TEST(ExpandMacros, ExpansionThatDoublesAtEveryLevelIsBounded)
{
    // 40 levels each calling the next twice would make 2^40 lines without the bound.
    const MacroBounds bounds{64, 10'000};
    MacroSet set;
    for (int i = 0; i < 40; ++i) {
        const QString next = QStringLiteral("%%M%1%%").arg(i + 1);
        set.add(QStringLiteral("M%1").arg(i).toUtf8().constData(), QStringList{next, next});
    }
    RunLog log;
    QStringList code = lines({"%%M0%%"});
    ExpandMacros(code, set.macros, log, bounds);
    EXPECT_LE(code.size(), 2 * bounds.lines);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].contains(QStringLiteral("beyond 10000 lines")))
        << log.lines()[0].toStdString();
}

TEST(ExpandMacros, NestingBeyondTheBoundIsNotExpanded)
{
    MacroSet set;
    for (int i = 0; i < 5; ++i)
        set.add(QStringLiteral("N%1").arg(i).toUtf8().constData(),
                QStringList{QStringLiteral("%%N%1%%").arg(i + 1)});
    RunLog log;
    QStringList code = lines({"%%N0%%"});
    ExpandMacros(code, set.macros, log, MacroBounds{3, 1000});
    EXPECT_EQ(code, lines({"// Macro: N0 expanded", "// Macro: N1 expanded",
                           "// Macro: N2 expanded", "%%N3%%"}));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].endsWith(macroNestedTooDeeply(QStringLiteral("N3"), 3)));
}

TEST(ExpandMacroCall, ReplacesOneLineAndInsertsOneLevel)
{
    QStringList code = lines({"first", "\t %%SendFrame(1)%% tail", "last"});
    ExpandMacroCall(QStringLiteral("SendFrame"), lines({"%%0%%;\n", "%%Inner(x)%%", ""}),
                    lines({"1"}), 1, code);
    EXPECT_EQ(code, lines({"first", "  // Macro: SendFrame expanded", "  1;", "  %%Inner(x)%%",
                           "  ", "last"}));
}

} // namespace
