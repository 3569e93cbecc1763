#include "run/LineDiff.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

QStringList lines(const char *text)
{
    return QString::fromLatin1(text).split(u'|', Qt::SkipEmptyParts);
}

struct DiffCase {
    const char *name;
    const char *before; // lines separated by "|"
    const char *after;
    const char *diff;
};

const DiffCase kCases[] = {
    {"equal texts", "a|b|c", "a|b|c", ""},
    {"one line changed", "a|b|c", "a|x|c", "@@ -1,3 +1,3 @@| a|-b|+x| c"},
    {"into an empty text", "", "a|b", "@@ -0,0 +1,2 @@|+a|+b"},
    {"to an empty text", "a|b", "", "@@ -1,2 +0,0 @@|-a|-b"},
    {"a line added at the end", "a|b|c|d|e", "a|b|c|d|e|f", "@@ -3,3 +3,4 @@| c| d| e|+f"},
    {"two changes far apart make two hunks", "1|2|3|4|5|6|7|8|9|10|11|12",
     "x|2|3|4|5|6|7|8|9|10|11|y",
     "@@ -1,4 +1,4 @@|-1|+x| 2| 3| 4|@@ -9,4 +9,4 @@| 9| 10| 11|-12|+y"},
    {"two changes close together share a hunk", "1|2|3|4|5|6", "1|x|3|4|y|6",
     "@@ -1,6 +1,6 @@| 1|-2|+x| 3| 4|-5|+y| 6"},
    {"a moved line", "a|b|c", "b|c|a", "@@ -1,3 +1,3 @@|-a| b| c|+a"},
};

} // namespace

TEST(LineDiff, GivesUnifiedHunksWithThreeLinesOfContext)
{
    for (const DiffCase &c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(unifiedDiff(lines(c.before), lines(c.after)).join(u'|'),
                  QString::fromLatin1(c.diff));
    }
}

TEST(LineDiff, ATextChangedEverywhereIsShownWholeWithoutASearch)
{
    QStringList before, after;
    for (int i = 0; i < 5000; ++i) {
        before << QString("old %1").arg(i);
        after << QString("new %1").arg(i);
    }
    const QStringList diff = unifiedDiff(before, after);
    ASSERT_EQ(diff.size(), 1 + 10000);
    EXPECT_EQ(diff.front(), "@@ -1,5000 +1,5000 @@");
    EXPECT_EQ(diff[1], "-old 0");
    EXPECT_EQ(diff[5001], "+new 0");
}
