#include "project/VariableRules.h"

#include "common/CommaText.h"
#include "common/RunLog.h"
#include "project/ProjectPath.h"
#include "support/LogTexts.h"
#include "support/QtPrinters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(EvaluateCondition, ComparesNumbersAsNumbersAndAnythingElseAsText)
{
    const struct {
        const char *text;
        bool fallback;
        bool result;
    } cases[] = {
        {"", true, true}, // no condition: the default
        {"", false, false},
        {"abc", true, true}, // no operator
        {"a=b", true, false},
        {"a=a", true, true},
        {"A=a", true, false}, // texts compare with case
        {"3>=3", true, true},
        {"10>9", true, true}, // numbers, not texts ("10" < "9" as text)
        {"b>a", true, true},  // texts by character code
        {"a>b", true, false},
        {"1<>2", true, true},
        {"2<>2", true, false},
        {"$10=16", true, true}, // $ marks hexadecimal
        {"-5<3", true, true},
        {"9<10", true, true},
        {"3 >=3", true, true}, // not trimmed: "3 " is a text, and "3 " > "3"
        {"3 <=3", true, false},
        {"x<=y", true, true},
        {"=", true, true},      // two empty texts are equal
        {"a=b=c", true, false}, // the first "=" splits: "a" and "b=c"
        {"1=01", true, true},
        {"99999999999=99999999999", true, true}, // beyond 32 bits: compared as texts
        {"99999999999>9", true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(EvaluateCondition(QString::fromLatin1(c.text), c.fallback), c.result);
    }
}

TEST(EvaluateCondition, ReadsAtMostAHundredCharactersRightOfTheOperator)
{
    const QString hundred(100, u'x');
    EXPECT_TRUE(EvaluateCondition(hundred + u'=' + hundred + QStringLiteral("tail"), false));
    EXPECT_FALSE(EvaluateCondition(hundred + u'=' + hundred.left(99), true));
}

TEST(SelectProfileEmbed, KeepsOnlyThePartOfTheNamedProfile)
{
    const struct {
        const char *line;
        const char *expected;
        const char *logged;
    } cases[] = {
        {R"(V,BOOL,,,,,,"d","P1","P1[a=1 b=2] P2[c=3]",,)", R"(V,BOOL,,,,,,d,P1,"a=1 b=2",,)", ""},
        {R"(V,BOOL,,,,,,"d","P2","P1[a=1 b=2] P2[c=3]",,)", R"(V,BOOL,,,,,,d,P2,c=3,,)", ""},
        {R"(V,BOOL,,,,,,"d","P3","P1[a=1] P2[c=3]",,)", "V,BOOL,,,,,,d,,,,", ""},
        {R"(V,BOOL,,,,,,"d","","P1[a=1]",,)", "V,BOOL,,,,,,d,,,,", ""},
        {R"(V,BOOL,,,,,,"d"," P1 ","P1[]",,)", R"(V,BOOL,,,,,,d," P1 ",,,)", ""},
        {R"(V,BOOL,,,,,,"d","P1","p1[a=1]",,)", "V,BOOL,,,,,,d,,,,", ""}, // with case
        {R"(V,BOOL,,,,,,"d","P1","P1[a=1",,)", R"(V,BOOL,,,,,,d,P1,P1[a=1,,)",
         "Missing ']' error found in XML file. Profile:P1"},
        {"V,BOOL,,,", "V,BOOL,,,", ""},     // fewer than 5 fields: untouched
        {"V,BOOL,,,,1", "V,BOOL,,,,1", ""}, // no fields 9 and 10: nothing to narrow
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        RunLog log;
        QStringList fields = splitCommaText(QString::fromLatin1(c.line));
        SelectProfileEmbed(fields, log);
        EXPECT_EQ(joinCommaText(fields), QString::fromLatin1(c.expected));
        if (*c.logged)
            EXPECT_THAT(logTexts(log), ElementsAre(QString::fromLatin1(c.logged)));
        else
            EXPECT_THAT(logTexts(log), IsEmpty());
    }
}

TEST(PathFromWorkbook, TakesBackslashesAsSeparatorsAndRelativePathsFromTheWorkbook)
{
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"Plant", "/data/books/Plant"},
        {"Projects\\Plant", "/data/books/Projects/Plant"},
        {"..\\Plant", "/data/Plant"},
        {"/srv/Plant", "/srv/Plant"},
        {"/srv/Plant/", "/srv/Plant"},
        {"\\srv\\Plant", "/srv/Plant"},
        {"", ""},
        {"  ", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(pathFromWorkbook(QString::fromLatin1(c.text), "/data/books"),
                  QString::fromLatin1(c.expected));
    }
}

TEST(DelimitedText, SplitsFolderPathsAtBackslashesAndBlanks)
{
    const struct {
        const char *text;
        QStringList parts;
    } cases[] = {
        {"", {}},
        {"A", {"A"}},
        {"A\\B\\C", {"A", "B", "C"}},
        {"My Folder", {"My", "Folder"}},
        {"\"My Folder\"\\B", {"My Folder", "B"}},
        {"A\\\\B", {"A", "", "B"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(splitDelimitedText(QString::fromLatin1(c.text), u'\\'), c.parts);
    }
}
