#include "workbook/DateFormat.h"

#include <gtest/gtest.h>

namespace {

struct CodeCase {
    const char *code;
    bool date;
};

constexpr CodeCase kCodes[] = {
    // dates and times
    {"m/d/yy", true},
    {"DD.MM.YYYY", true},
    {"yyyy\\-mm\\-dd", true},
    {"h:mm AM/PM", true},
    {"[h]:mm:ss", true},
    {"[mm]:ss", true},
    {"[$-409]mmmm d, yyyy;@", true},
    {"[Red]dd/mm/yy", true},
    // no dates
    {"General", false},
    {"0.00", false},
    {"#,##0.00 \"days\"", false},
    {"0.00E+00", false},
    {"[$\xe2\x82\xac-407] #,##0.00", false},
    {"[Red][<100]0;0", false},
    {"\\d0", false},
    {"_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)", false},
    {"@", false},
    {"\"unterminated", false},
    {"", false},
};

TEST(DateFormat, FindsDateAndTimeCodesOutsideQuotesEscapesAndBrackets)
{
    for (const CodeCase &c : kCodes) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(isDateFormatCode(QString::fromUtf8(c.code)), c.date);
    }
}

TEST(DateFormat, KnowsTheBuiltInDateIds)
{
    for (int id : {14, 15, 17, 20, 22, 45, 46, 47, 27, 36, 50, 58})
        EXPECT_TRUE(isBuiltInDateFormat(id)) << id;
    for (int id : {0, 1, 2, 9, 10, 11, 13, 23, 37, 44, 48, 49, 59, 164})
        EXPECT_FALSE(isBuiltInDateFormat(id)) << id;
}

} // namespace
