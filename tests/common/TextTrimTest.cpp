#include "common/TextTrim.h"

#include <gtest/gtest.h>

namespace {

struct TrimCase {
    QString text;
    QString trimmed;
};

TEST(TextTrim, RemovesEveryCodeUpTo32AtBothEndsOnly)
{
    const TrimCase cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"  abc  ", "abc"},
        {"\t\r\nabc\x1f", "abc"},
        {QString(QChar(0)) + "abc" + QChar(0), "abc"},
        {"a b", "a b"},
        {" a\tb ", "a\tb"},
        {"\x7f" "abc", "\x7f" "abc"},           // DEL is above 32
        {QString(QChar(0xA0)) + "x", QString(QChar(0xA0)) + "x"}, // no-break space stays
        {"   ", ""},
    };
    for (const TrimCase &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(trimText(c.text), c.trimmed);
    }
}

} // namespace
