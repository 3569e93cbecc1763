#include "common/CommaText.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    QString text;
    QStringList items;
};

TEST(CommaText, SplitsAtCommasBlanksAndControlCharactersOutsideQuotes)
{
    const SplitCase cases[] = {
        {"", {}},
        {"   ", {}},
        {"a", {"a"}},
        {"a,b,c", {"a", "b", "c"}},
        {"a b", {"a", "b"}},
        {"a , b", {"a", "b"}},
        {"  a,b  ", {"a", "b"}},
        {"a\tb\r\nc", {"a", "b", "c"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {",a", {"", "a"}},
        {"a, ,b", {"a", "", "b"}},
        {"a,  ", {"a"}}, // blanks after the last comma: no trailing empty item
        {"\"a b\",c", {"a b", "c"}},
        {"\"a,b\"", {"a,b"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"\"", {""}},
        {"\"\",\"\"", {"", ""}},
        {"\"open", {"open"}},              // an unclosed quote runs to the end
        {"\"ab\"cd,e", {"ab", "cd", "e"}}, // text after a closing quote starts a new item
        {"x\"y", {"x\"y"}},                // a quote inside an unquoted item is kept
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(splitCommaText(c.text), c.items);
    }
}

TEST(CommaText, CommasOnlySplitKeepsBlanksAndHonoursQuotes)
{
    const SplitCase cases[] = {
        {"", {}},
        {"a b,c", {"a b", "c"}},
        {" a , b ", {" a ", " b "}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"\"a,b\",c", {"a,b", "c"}},
        {"\"x \"\"q\"\"\",", {"x \"q\"", ""}},
        {"\ta\t", {"\ta\t"}},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(splitAtCommas(c.text), c.items);
    }
}

TEST(CommaText, WriterQuotesItemsWithBlanksControlsCommasOrQuotes)
{
    const SplitCase cases[] = {
        {"a,b", {"a", "b"}},    {"\"a b\",c", {"a b", "c"}},
        {"\"a,b\"", {"a,b"}},   {"\"x\"\"y\"", {"x\"y"}},
        {"\"a\tb\"", {"a\tb"}}, {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},      {"\"\"", {""}},
        {",", {"", ""}},        {"", {}},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(joinCommaText(c.items), c.text);
    }
}

TEST(CommaText, WrittenItemsReadBackTheSameWithEitherSplit)
{
    const QStringList lists[] = {
        {"DI", "Breaker open", "", "12", "a\"b", "x,y", " lead", "trail "},
        {"", "", ""},
        {"one"},
        {"tab\there", "cr\rlf\n"},
    };
    for (const QStringList &items : lists) {
        SCOPED_TRACE(items.join('|').toStdString());
        const QString text = joinCommaText(items);
        EXPECT_EQ(splitAtCommas(text), items);
        EXPECT_EQ(splitCommaText(text), items);
        EXPECT_TRUE(commaReadingsAgree(text));
    }
}

TEST(CommaText, ReadingsAgreeOnlyWithoutBlanksOutsideQuotes)
{
    struct Case {
        const char *text;
        bool agree;
    };
    const Case cases[] = {
        {"", true},
        {"a,b,,c,", true},
        {"\"a b\",\"c,\"\"d\"\"\",e", true},
        {"\"a\"b,c\"d e\"", false}, // a quote inside an item quotes nothing
        {"\"open ended", true},
        {"a, b", false},
        {" a", false},
        {"a ,b", false},
        {"\"a\" ,b", false},
        {"a,b\t", false},
        {"\"x\"\" y\",z", true},    // a doubled quote stays inside
        {"\"x\"\"\" y\",z", false}, // a doubled quote, then the closing one
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(commaReadingsAgree(text), c.agree);
        if (c.agree)
            EXPECT_EQ(splitAtCommas(text), splitCommaText(text));
        else
            EXPECT_NE(splitAtCommas(text), splitCommaText(text));
    }
}

} // namespace
