#include "common/Windows1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Windows1252, EncodesTheCodePageAndReplacesTheRest)
{
    struct Case {
        QString text;
        QByteArray bytes;
    } const cases[] = {
        {QStringLiteral("plain ASCII\r\n"), "plain ASCII\r\n"},
        {QStringLiteral("\u00e4\u00ff\u00a0"), "\xe4\xff\xa0"},
        {QStringLiteral("\u20ac\u201c\u201d\u2122\u0178"), "\x80\x93\x94\x99\x9f"},
        {QStringLiteral("\u0100\u4e2d"), "??"},
        {QStringLiteral("\u0081"), "?"},
        {QString::fromUcs4(U"\U0001F600x"), "?x"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(toWindows1252(c.text), c.bytes);
    }
}

TEST(Windows1252, DecodesEveryByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fromWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x81], QChar(0x81));
    EXPECT_EQ(text[0xE9], QChar(0xE9));
    // Every defined character comes back as the same byte.
    QByteArray back = toWindows1252(text);
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        back[b] = char(b);
    EXPECT_EQ(back, all);
}

} // namespace
