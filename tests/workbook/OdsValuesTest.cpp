#include "workbook/OdsValues.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct NumberCase {
    const char *text;
    std::optional<double> value;
};

TEST(OdsValues, DatesBecomeDaysSince18991230WithTheTimeAsFraction)
{
    const NumberCase cases[] = {
        {"1899-12-30", 0.0},
        {"1900-01-01", 2.0},
        {"2024-03-05", 45356.0},
        {"2024-03-05T12:00:00", 45356.5},
        {"2024-03-05T06:00:00.5", 45356.25 + 0.5 / 86400},
        {"2024-03-05T18:00:00Z", 45356.75},
        {"2024-03-05T18:00:00+02:00", 45356.75}, // shown as written
        {"1899-12-29", -1.0},
        {"2024-02-30", {}},
        {"2024-3-5", {}},
        {"2024-03-05T25:00:00", {}},
        {"2024-03-05 12:00:00", {}},
        {"2024-03-05T12:00", {}},
        {"", {}},
        {"yesterday", {}},
    };
    for (const NumberCase &c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = odsDateSerial(c.text);
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value);
        }
    }
}

TEST(OdsValues, DurationsBecomeFractionsOfADay)
{
    const NumberCase cases[] = {
        {"PT12H00M00S", 0.5},
        {"PT06H30M00S", 6.5 / 24},
        {"PT00H00M01.5S", 1.5 / 86400},
        {"PT36H", 1.5},
        {"P1DT6H", 1.25},
        {"-PT6H", -0.25},
        {"PT0S", 0.0},
        {"P", {}},
        {"PT", {}},
        {"PT12", {}},
        {"P1Y", {}}, // a year has no fixed length in days
        {"PT1D", {}},
        {"12:00:00", {}},
        {"", {}},
    };
    for (const NumberCase &c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = odsDurationDays(c.text);
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value);
        }
    }
}

TEST(OdsValues, NumbersAreReadWithoutRegardToTheLocale)
{
    const NumberCase cases[] = {
        {"3", 3.0},  {"-0.25", -0.25}, {"+7", 7.0},   {"1E+20", 1e20}, {"1.5e-6", 1.5e-6},
        {"3,5", {}}, {"", {}},         {"12abc", {}}, {" 3", {}},
    };
    for (const NumberCase &c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = odsNumber(c.text);
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value);
        }
    }
}

TEST(OdsValues, BooleansTakeTheWordsAndTheDigits)
{
    EXPECT_EQ(odsBoolean("true"), true);
    EXPECT_EQ(odsBoolean("1"), true);
    EXPECT_EQ(odsBoolean("false"), false);
    EXPECT_EQ(odsBoolean("0"), false);
    EXPECT_EQ(odsBoolean("TRUE"), std::nullopt);
    EXPECT_EQ(odsBoolean(""), std::nullopt);
}

TEST(OdsValues, OnlyTheBooleanConstantFormulasAreBooleans)
{
    const struct {
        const char *formula;
        std::optional<bool> value;
    } cases[] = {
        {"of:=TRUE()", true},
        {"of:=FALSE()", false},
        {"of:=true()", true},
        {"msoxl:=FALSE()", false},
        {"=TRUE()", true},
        {"of:=TRUE", std::nullopt},
        {"of:=1", std::nullopt},
        {"of:=NOT(FALSE())", std::nullopt},
        {"of:=[.A1]=TRUE()", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(odsBooleanFormula(c.formula), c.value) << c.formula;
}

TEST(OdsValues, RepeatCountsAreAtLeastOneAndAtMostTheLimit)
{
    struct Case {
        const char *text;
        std::int64_t count;
    };
    const Case cases[] = {
        {"", 1},    {"1", 1},  {"5", 5},       {"0", 1},          {"-3", 1},
        {"abc", 1}, {"7x", 1}, {"1000", 1000}, {"1048576", 1000}, {"99999999999999999999999", 1000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(odsRepeatCount(c.text, 1000), c.count);
    }
}

} // namespace
