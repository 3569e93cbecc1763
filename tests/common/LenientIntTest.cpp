#include "common/LenientInt.h"

#include <gtest/gtest.h>
#include <QString>

namespace {

struct IntCase {
    const char *text;
    std::optional<int> value;
};

constexpr IntCase kCases[] = {
    // decimal
    {"42", 42},
    {"   42", 42},
    {"+7", 7},
    {"-7", -7},
    {"  -0", 0},
    {"007", 7},
    // hexadecimal behind every prefix
    {"$1F", 31},
    {"x1f", 31},
    {"X10", 16},
    {"0x10", 16},
    {"0XfF", 255},
    {"-$10", -16},
    {" +0x7FFFFFFF", 2147483647},
    // range limits
    {"2147483647", 2147483647},
    {"-2147483648", -2147483647 - 1},
    {"2147483648", {}},
    {"-2147483649", {}},
    {"$80000000", {}},
    {"-$80000000", -2147483647 - 1},
    {"99999999999999999999999", {}},
    // nothing may follow, something must be there
    {"", {}},
    {"   ", {}},
    {"-", {}},
    {"$", {}},
    {"0x", {}},
    {"12a", {}},
    {"12 ", {}},
    {"1 2", {}},
    {"\t12", {}},
    {"1.5", {}},
    {"0x1G", {}},
    {"--1", {}},
    {"+-1", {}},
    {"$-1", {}},
    {"１２", {}}, // full-width digits are no digits
};

TEST(LenientInteger, ReadsDecimalAndHexadecimalAndRefusesTheRest)
{
    for (const IntCase &c : kCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tryReadInt(QString::fromUtf8(c.text)), c.value);
    }
}

TEST(LenientInteger, ReadWithDefaultTakesTheDefaultOnlyForNoNumber)
{
    EXPECT_EQ(readIntOr(u"12", -1), 12);
    EXPECT_EQ(readIntOr(u"", -1), -1);
    EXPECT_EQ(readIntOr(u"twelve", 99), 99);
    EXPECT_EQ(readIntOr(u"-1", 5), -1);
}

} // namespace
