#include "common/NamedList.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

QStringList namesOf(const NamedList<int> &list)
{
    QStringList names;
    for (const auto &e : list)
        names << e.name;
    return names;
}

TEST(NamedList, UnsortedKeepsInsertionOrderAndFindsWithoutRegardToCase)
{
    NamedList<int> list(NameOrder::Insertion, NameRepeats::Keep);
    list.add("Beta", 1);
    list.add("alpha", 2);
    list.add("BETA", 3);
    EXPECT_EQ(namesOf(list), (QStringList{"Beta", "alpha", "BETA"}));
    EXPECT_EQ(list.indexOf("beta"), 0); // first match wins
    EXPECT_EQ(*list.find("ALPHA"), 2);
    EXPECT_EQ(list.find("gamma"), nullptr);
}

TEST(NamedList, SortedOrdersWithoutRegardToCaseAndKeepsRepeatsInArrivalOrder)
{
    NamedList<int> list(NameOrder::Sorted, NameRepeats::Keep);
    list.add("b", 1);
    list.add("C", 2);
    list.add("a", 3);
    list.add("B", 4);
    EXPECT_EQ(namesOf(list), (QStringList{"a", "b", "B", "C"}));
    EXPECT_EQ(*list.find("B"), 1);
}

TEST(NamedList, RefusingListTurnsARepeatedNameAwayInAnyCase)
{
    NamedList<int> list(NameOrder::Insertion, NameRepeats::Refuse);
    EXPECT_EQ(list.add("Main", 1), 0);
    EXPECT_EQ(list.add("MAIN", 2), -1);
    EXPECT_EQ(list.size(), 1);
    EXPECT_EQ(*list.find("main"), 1);
}

TEST(NamedList, LookupStaysRightAfterRemovalsAndInsertions)
{
    NamedList<int> list(NameOrder::Sorted, NameRepeats::Keep);
    for (int i = 0; i < 100; ++i)
        list.add(QStringLiteral("n%1").arg(i), i);
    list.removeAt(list.indexOf("n50"));
    EXPECT_EQ(list.find("n50"), nullptr);
    EXPECT_EQ(*list.find("N99"), 99);
    list.add("n50", 500);
    EXPECT_EQ(*list.find("n50"), 500);
    EXPECT_EQ(list.nameAt(list.indexOf("n50")), "n50");
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.indexOf("n1"), -1);
}

TEST(NamedList, HoldsOwningValues)
{
    NamedList<std::unique_ptr<int>> list;
    list.add("x", std::make_unique<int>(7));
    EXPECT_EQ(**list.find("X"), 7);
}

} // namespace
