#include "check/TemplateCheck.h"
#include "common/RunLog.h"
#include "support/LogTexts.h"
#include "support/QtPrinters.h"
#include "support/RecordingPrompts.h"
#include "support/XmlFixture.h"
#include "template/TemplateParser.h"

#include <gmock/gmock.h>

namespace {

// A sound template: every placeholder names something, every section has its marker, every
// macro is called. Each case below puts one fault into it.
const QByteArray kSound = R"(<T>
<Macros><Twice><CODE>%%0%% := %%0%% * 2;</CODE></Twice></Macros>
<MainCode><Main>
<UserInput name="Base" sheet="-1" default="1" type="int"/>
<var name="X" type="INT"/>
<CODE>%%Twice(X)%%
X := %%Base%%;
(* %%Inputs%% *)</CODE>
</Main></MainCode>
<FunctionBlocks><Port><CODE>(* %%Scan%% *)</CODE></Port></FunctionBlocks>
<SignalTypes><Variables><SignalTypeSheet>2</SignalTypeSheet><SignalTypeColon>1</SignalTypeColon><Tag>2</Tag></Variables>
<DI><Inputs>%%Tag%% := TRUE;</Inputs><Scan option="P" template="Port">%%Tag%%;</Scan></DI>
</SignalTypes>
</T>
)";

QStringList check(const QByteArray &xml)
{
    QStringList lines;
    for (const Diagnostic &d : CheckTemplateText(xml, QStringLiteral("t.xml")).sorted())
        lines.append(d.text());
    return lines;
}

struct Fault {
    const char *name;
    const char *find;
    const char *replace;
    QStringList expected;
};

class OneFault : public ::testing::TestWithParam<Fault> {};

TEST(TemplateCheck, TheSoundTemplateChecksClean)
{
    EXPECT_EQ(check(kSound), QStringList());
}

TEST_P(OneFault, IsReportedAtItsPlace)
{
    const Fault &f = GetParam();
    QByteArray xml = kSound;
    ASSERT_TRUE(xml.contains(f.find)) << f.find;
    xml.replace(f.find, f.replace);
    EXPECT_EQ(check(xml), f.expected);
}

const Fault kFaults[] = {
    {"NotWellFormed",
     "</Main></MainCode>",
     "</Main>",
     {"t.xml:14:4: error: not well-formed XML: Opening and ending tag mismatch."}},
    {"UnknownSection",
     "<Macros>",
     "<VersionInfos/><Macros>",
     {R"(t.xml:2:1: warning: unknown element "VersionInfos" in the template (did you mean "VersionInfo"?); it is ignored)"}},
    {"UnknownAttribute",
     "<CODE>%%Twice",
     "<CODE Filename=\"Main\">%%Twice",
     {R"(t.xml:6:7: warning: unknown attribute "Filename" on CODE (did you mean "FileName"?); it is ignored)"}},
    {"MisspeltProgramElement",
     "<var name=\"X\"",
     "<Cdoe>x;</Cdoe><var name=\"X\"",
     {R"(t.xml:5:1: warning: unknown element "Cdoe" in program "Main" (did you mean "CODE"?); it is ignored)"}},
    {"MalformedRange",
     "type=\"int\"",
     "type=\"int\" range=\"1..x\"",
     {R"(t.xml:4:58: error: range "1..x" of user input "Base" is not MIN..MAX with whole numbers; the input is not range-checked)"}},
    {"DuplicateMacro",
     "</Twice>",
     "</Twice><twice><CODE>y;</CODE></twice>",
     {R"(t.xml:2:56: error: macro "twice" is defined twice (names ignore case; the first is on line 2); the second cannot be reached)"}},
    {"DuplicateFunctionBlock",
     "</Port>",
     "</Port><PORT/>",
     {R"(t.xml:10:57: error: function block "PORT" is defined twice (names ignore case; the first is on line 10); the second cannot be reached)"}},
    {"ProgramElementWithoutText",
     "</Main>",
     "<GlobalDefines/></Main>",
     {R"(t.xml:9:1: error: Element "GlobalDefines" has no text; the rest of "Main" is not read)"}},
    {"SignalVariableNotANumber",
     "<Tag>2</Tag>",
     "<Tag>two</Tag>",
     {R"(t.xml:11:97: error: signal variable "Tag" needs a column number, not "two"; it would read column A)"}},
    {"LayoutNotANumber",
     "</Variables>",
     "<RowDisableColon>none</RowDisableColon></Variables>",
     {R"(t.xml:11:109: error: RowDisableColon needs a whole number, not "none"; the rest of Variables is not read)"}},
    {"DuplicateSignalType",
     "</DI>",
     "</DI><di/>",
     {R"(t.xml:12:91: error: signal type "di" is defined twice (names ignore case; the first is on line 12); the second cannot be reached)"}},
    {"VariantCodeWithAComment",
     "TRUE;</Inputs>",
     "TRUE;<!-- c --></Inputs>",
     {R"(t.xml:12:5: error: the code of option variant "Inputs" is not a single text (a comment or an element inside it?); it is ignored)"}},
    {"UnclosedPlaceholder",
     "X := %%Base%%;",
     "X := %%Base;",
     {R"(t.xml:7:6: error: "%%" without its closing "%%" on this line)"}},
    {"UnknownPlaceholderInAValue",
     "type=\"INT\"/>",
     "type=\"INT\" init=\"%%Bsae%%\"/>",
     {R"(t.xml:5:26: error: placeholder %%Bsae%% names no user input, signal variable or code section (did you mean "Base"?); it stays in the text as written)"}},
    {"MarkerNoSectionFills",
     "X := %%Base%%;",
     "X := %%Nothing%%;",
     {R"(t.xml:7:6: warning: no code section fills marker %%Nothing%%, and no user input or signal variable has that name)"}},
    {"UnknownInlineFunction",
     "%%Base%%;",
     "%%#INCR#Base%%;",
     {R"(t.xml:7:6: warning: unknown inline function "INCR" (did you mean "INC"?); the value is inserted unchanged)"}},
    {"InlineFunctionWithoutItsArgument",
     "%%Base%%;",
     "%%#ADD#Base%%;",
     {R"(t.xml:7:6: warning: inline function ADD takes 1 argument, not 0)"}},
    {"InlineFunctionOnNoUserInput",
     "%%Base%%;",
     "%%#INC#Bsae%%;",
     {R"(t.xml:7:6: error: inline function INC is applied to "Bsae", which is no user input; the placeholder stays in the text as written)"}},
    {"UnknownMacro",
     "%%Twice(X)%%",
     "%%Twcie(X)%%",
     {R"(t.xml:2:9: warning: macro "Twice" is never called)",
      R"(t.xml:6:7: error: macro call "Twcie" names no macro (did you mean "Twice"?); the line stays as written)"}},
    {"MacroCallingItself",
     "<CODE>%%0%% := %%0%% * 2;</CODE>",
     "<CODE>%%Twice(X)%%</CODE>",
     {R"(t.xml:2:9: error: macro "Twice" calls itself (Twice -> Twice); the repeated call is not expanded)"}},
    {"MacroCalledInACodeSection",
     "<var name=\"X\"",
     "<Inputs>%%Twice(X)%%</Inputs><var name=\"X\"",
     {R"(t.xml:5:9: error: macro "Twice" is called in a code section, where macros are not expanded; call it in a CODE element)"}},
    {"UnusedMacro",
     "</Macros>",
     "<Spare><CODE>y;</CODE></Spare></Macros>",
     {R"(t.xml:2:56: warning: macro "Spare" is never called)"}},
    {"SectionWithoutMarker",
     "(* %%Inputs%% *)",
     "(* Inputs *)",
     {R"(t.xml:12:5: error: no marker %%Inputs%% in the main programs receives code section "Inputs"; its code would go before the first line)"}},
    {"UnknownBlockTemplate",
     "template=\"Port\"",
     "template=\"Prot\"",
     {R"(t.xml:12:55: error: template "Prot" names no function block (did you mean "Port"?); the blocks made from it would be empty)"}},
    {"FieldWithABlank",
     "type=\"INT\"/>",
     "type=\"INT\" init=\"1 2\"/>",
     {R"(t.xml:5:1: error: init "1 2" holds a blank or a comma, which splits the declaration into more fields)"}},
    {"DescriptionWithAQuote",
     "type=\"INT\"/>",
     "type=\"INT\"><varinfo type=\"desc\" data='say \"hi\"'/></var>",
     {R"(t.xml:5:1: error: desc "say "hi"" holds a double quote, which ends its quoted field)"}},
    {"UnknownType",
     "type=\"INT\"/>",
     "type=\"INTEGER\"/>",
     {R"(t.xml:5:15: warning: type "INTEGER" is neither an IEC 61131-3 elementary type, a standard function block nor a function block of this template (it may come from a library))"}},
    {"DuplicateVariable",
     "<CODE>%%Twice",
     "<var name=\"x\" type=\"BOOL\"/><CODE>%%Twice",
     {R"(t.xml:6:1: error: variable "x" is declared twice in the locals (names ignore case; the first is on line 5))"}},
    {"VariableWithoutName",
     "<var name=\"X\" type=\"INT\"/>",
     "<var name=\"X\" type=\"INT\"/><var type=\"INT\"/>",
     {R"(t.xml:5:27: error: variable without a name)"}},
    {"TemplateCreateInCapitals",
     "</Port>",
     "<Calls TemplateCreate=\"YES\">x;</Calls></Port>",
     {R"(t.xml:10:57: warning: TemplateCreate="YES" makes the element contribute nothing; write "yes" (lower case) or leave the attribute out)"}},
    {"UnknownVariantAttribute",
     "template=\"Port\"",
     "template=\"Port\" initCode=\"x\"",
     {R"(t.xml:12:71: warning: unknown attribute "initCode" on Scan (did you mean "initcode"?); it is ignored)"}},
    {"UnknownDirection",
     "type=\"INT\"/>",
     "type=\"INT\" attr=\"OUTPUT\"/>",
     {R"(t.xml:5:26: warning: attr "OUTPUT" is none of IN, OUT and INOUT)"}},
};

INSTANTIATE_TEST_SUITE_P(Faults, OneFault, ::testing::ValuesIn(kFaults),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TemplateCheck, ANameNearAWordIsASectionWhenItsMarkerIsThere)
{
    const QByteArray xml = "<T><MainCode><Main>\n"
                           "<Code2>x;</Code2>\n"
                           "<CODE>(* %%Code2%% *)</CODE>\n"
                           "</Main></MainCode></T>";
    EXPECT_EQ(check(xml), QStringList());
}

TEST(TemplateCheck, MacrosCallingEachOtherAreOneCycle)
{
    const QByteArray xml = "<T><Macros>\n"
                           "<A><CODE>%%B%%</CODE></A>\n"
                           "<B><CODE>%%C(1)%%\n%%A%%</CODE></B>\n"
                           "<C><CODE>%%0%%;</CODE></C>\n"
                           "</Macros><MainCode><Main><CODE>%%A%%</CODE></Main></MainCode></T>";
    EXPECT_EQ(check(xml), QStringList{"t.xml:2:1: error: macro \"A\" calls itself (A -> B -> A); "
                                      "the repeated call is not expanded"});
}

TEST(TemplateCheck, MacroCallsNestedDeeperThanTheExpansionFollows)
{
    // M0 calls M1 ... calls M<last>: the expansion follows 64 levels.
    const auto chain = [](int macros) {
        QByteArray xml = "<T><Macros>\n";
        for (int i = 0; i < macros; ++i)
            xml += QByteArray("<M") + QByteArray::number(i) + "><CODE>" +
                   (i + 1 < macros ? "%%M" + QByteArray::number(i + 1) + "%%" : "x;") +
                   "</CODE></M" + QByteArray::number(i) + ">\n";
        return xml + "</Macros><MainCode><Main><CODE>%%M0%%</CODE></Main></MainCode></T>";
    };
    // The run's own expansion refuses at the same depth.
    const auto runLog = [](const QByteArray &xml) {
        TemplateModel model;
        RunLog log;
        RecordingPrompts prompts;
        TemplateParser(model, log, prompts)
            .ParseProgramSections(xmlElement(QString::fromUtf8(xml)));
        return logTexts(log);
    };
    EXPECT_EQ(runLog(chain(64)), QStringList());
    EXPECT_TRUE(runLog(chain(65)).join('\n').contains("nested more than 64"));

    EXPECT_EQ(check(chain(64)), QStringList());
    EXPECT_EQ(check(chain(65)), QStringList{"t.xml:2:1: error: macro \"M0\" calls macros 65 levels "
                                            "deep; calls deeper than 64 levels are not expanded"});
}

TEST(TemplateCheck, RefusesNestingBeyondTheBound)
{
    QByteArray xml = "<T>\n";
    for (int i = 0; i < 1200; ++i)
        xml += "<a>";
    EXPECT_EQ(check(xml), QStringList{"t.xml:2: error: elements nested deeper than 1000 levels"});
}

TEST(TemplateCheck, PlacesTheTextOfCdataAndAttributesOnTheirOwnLines)
{
    const QByteArray xml = "<T><MainCode><Main>\n"
                           "  <CODE><![CDATA[\n"
                           "    a := 1;\n"
                           "    b := %%Missing%%;\n"
                           "  ]]></CODE>\n"
                           "  <var name=\"v\"\n"
                           "       type=\"INT\" init=\"%%Gone%%\"/>\n"
                           "</Main></MainCode></T>";
    EXPECT_EQ(check(xml),
              (QStringList{"t.xml:4:10: warning: no code section fills marker %%Missing%%, and no "
                           "user input or signal variable has that name",
                           "t.xml:7:19: error: placeholder %%Gone%% names no user input, signal "
                           "variable or code section; it stays in the text as written"}));
}

} // namespace
