#include "template/VariableDeclaration.h"
#include "common/CommaText.h"
#include "support/RecordingPrompts.h"
#include "support/XmlFixture.h"

#include <gtest/gtest.h>

namespace {

struct LineCase {
    const char *xml;
    const char *line;
};

TEST(ParseVariable, FlattensAttributesTextAndVarinfoIntoTwelveFields)
{
    const LineCase cases[] = {
        {R"(<var name="x" type="BOOL"/>)", R"(x,BOOL,,,,,,"","","",,)"},
        {R"(<var name="Cnt" type="INT" init="0" create="%%Use%%=1">
              <varinfo type="desc" data="counter"/><varinfo type="profile" data="PROF"/>
              <varinfo type="embed" data="A[1]"/><varinfo type="embed" data="B[2]"/></var>)",
         R"(Cnt,INT,,,,0,,"counter","PROF","A[1]B[2]",,%%Use%%=1)"},
        {R"(<retainvar name="Txt" type="STRING" len="80"/>)", R"(Txt,STRING,,,,,,"","","",80,)"},
        {R"(<var name="p" type="INT">PROF</var>)", R"(p,INT,,,,,,"","PROF","",,)"},
        {R"(<var name="p" type="INT"><![CDATA[PRO F]]></var>)", R"(p,INT,,,,,,"","PRO F","",,)"},
        {R"(<var name="v" type="INT">text<varinfo type="tag" data="T1"/>more</var>)",
         R"(v,INT,,,,,T1,"","","",,)"},
        {R"(<var name="v" type="INT"><varinfo type="Desc" data="no"/><varinfo type="desc" data="a"/>
              <varinfo type="desc" data="b"/><VarInfo type="tag" data="no"/></var>)",
         R"(v,INT,,,,,,"b","","",,)"},
        {R"(<globalvar name="a" type="INT" dim="4" attr="IN" Name="ignored"/>)",
         R"(a,INT,4,IN,,,,"","","",,)"},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.xml);
        RecordingPrompts prompts;
        QStringList target{QStringLiteral("before")};
        ParseVariable(xmlElement(c.xml), target, prompts);
        EXPECT_EQ(target, (QStringList{QStringLiteral("before"), QString::fromUtf8(c.line)}));
        EXPECT_TRUE(prompts.texts.isEmpty());
    }
}

TEST(ParseVariable, LineReadsBackIntoItsFieldsUnlessAValueBreaksTheFormat)
{
    const QString line = FormatVariableLine("n", "INT", "", "", "", "1", "t", "a desc", "P",
                                            "P[x, y]", "", "%%A%%=1");
    EXPECT_EQ(splitCommaText(line).size(), 12);
    EXPECT_EQ(splitCommaText(line)[9], QStringLiteral("P[x, y]"));
    const QString blankInit =
        FormatVariableLine("n", "INT", "", "", "", "1 2", "", "", "", "", "", "");
    EXPECT_EQ(splitCommaText(blankInit).size(), 13) << "unquoted fields must not hold blanks";
}

TEST(ParseLegacyVariable, ReadsTheFiveChildTexts)
{
    const LineCase cases[] = {
        {"<VARIABLE><name>x</name><type>INT</type></VARIABLE>", "x,INT,,,"},
        {"<globalvariable><profile>P</profile><attrib>IN</attrib><dim>2</dim><type>T</type>"
         "<name>g</name></globalvariable>",
         "g,T,2,IN,P"},
        {"<VARIABLE name=\"attr\"><name>n<b/></name><Type>INT</Type><type></type></VARIABLE>",
         ",,,,"},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.xml);
        RecordingPrompts prompts;
        QStringList target;
        ParseLegacyVariable(xmlElement(c.xml), target, prompts);
        EXPECT_EQ(target, QStringList{QString::fromUtf8(c.line)});
        EXPECT_TRUE(prompts.texts.isEmpty());
    }
}

} // namespace
