#include "core/listcontrol.h"

#include <gtest/gtest.h>

using quorvane::ListControl;

TEST(ListControl, SortedListKeepsCaseInsensitiveOrderAndAddsEqualEntriesAfterOlderOnes)
{
    ListControl list(QStringLiteral("listlinks"), true);
    for (const char *item : {"delta", "Bravo", "alpha", "bravo", "Charlie"})
        list.add(QString::fromLatin1(item));
    EXPECT_EQ(list.items(), (QStringList{"alpha", "Bravo", "bravo", "Charlie", "delta"}));
    list.add(QStringLiteral("BRAVO"));  // merged into entries already sorted
    EXPECT_EQ(list.items(), (QStringList{"alpha", "Bravo", "bravo", "BRAVO", "Charlie", "delta"}));
}

TEST(ListControl, UnsortedListKeepsInsertionOrderAndInsertClamps)
{
    ListControl list(QStringLiteral("List3"), false);
    list.add(QStringLiteral("b"));
    list.add(QStringLiteral("a"));
    list.insert(0, QStringLiteral("c"));
    list.insert(99, QStringLiteral("z"));
    EXPECT_EQ(list.items(), (QStringList{"c", "b", "a", "z"}));
    EXPECT_EQ(list.at(-1), QString());
    EXPECT_EQ(list.at(4), QString());
}

TEST(ListControl, SelectionFollowsItsEntryAndClearsWhenRemoved)
{
    ListControl list(QStringLiteral("favorit2"), true);
    list.setItems({QStringLiteral("b"), QStringLiteral("d")});
    list.setSelected(1);
    ASSERT_EQ(list.selectedText(), QStringLiteral("d"));
    list.add(QStringLiteral("a"));  // lands before the selection
    EXPECT_EQ(list.selectedText(), QStringLiteral("d"));
    list.removeAt(0);
    EXPECT_EQ(list.selectedText(), QStringLiteral("d"));
    list.removeAt(list.selected());
    EXPECT_EQ(list.selected(), -1);
    list.setSelected(7);
    EXPECT_EQ(list.selected(), -1);
}

TEST(ListControl, EveryChangeBumpsTheRevisionAndNotifies)
{
    int notified = 0;
    ListControl list(QStringLiteral("List7"), false, [&] { ++notified; });
    const quint64 before = list.revision();
    list.add(QStringLiteral("a"));
    list.removeAt(5);  // nothing to remove: no change
    list.clear();
    EXPECT_EQ(list.revision(), before + 2);
    EXPECT_EQ(notified, 2);
}
