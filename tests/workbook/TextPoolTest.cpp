#include "workbook/TextPool.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(TextPool, EmptyTextsKeepTheNumbersOfTheOthers)
{
    const QStringList texts{"", "first", "", "", "Ünïcode \U0001F600", "x"};
    TextPool pool;
    for (const QString &t : texts)
        pool.push_back(t);
    ASSERT_EQ(pool.size(), std::size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pool[std::size_t(i)], texts[i]);
    }
    EXPECT_EQ(pool[std::size_t(texts.size())], QString()); // beyond the pool
}

} // namespace
