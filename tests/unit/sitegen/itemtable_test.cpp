#include "sitegen/itemtable.h"

#include <gtest/gtest.h>

using namespace quorvane;

TEST(ItemTable, EachEntrySplitsIntoFiveCellsWhateverItHolds)
{
    const struct {
        const char *entry;
        QStringList cells;
    } cases[] = {
        {"A1,Apple \"Gala\",1.25,a.gif,a.htm,", {"A1", "Apple \"Gala\"", "1.25", "a.gif", "a.htm"}},
        // Spaces are part of the fields; empty fields stay empty cells.
        {" A , ,2,,x.htm,", {" A ", " ", "2", "", "x.htm"}},
        {"X,Y", {"X", "Y", "", "", ""}},
        {"", {"", "", "", "", ""}},
        {"no commas <b>at all</b>", {"no commas <b>at all</b>", "", "", "", ""}},
        // A field that held a comma: nothing after the fifth comma goes unseen.
        {"a,b,c,d,e,f,", {"a", "b", "c", "d", "e,f,"}},
        {"a,b,c,d,e,  ", {"a", "b", "c", "d", "e"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(itemTableCells(QString::fromUtf8(c.entry)), c.cells);
    }
}
