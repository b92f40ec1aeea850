#include "core/commandtable.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvane {

// A control's event has one owner: a second binding is a wiring mistake and
// must not silently take the event from the first.
TEST(CommandTable, RefusesASecondBindingOfOneEventAndKeepsTheFirst)
{
    CommandTable table;
    int first = 0;
    table.onMenu(QStringLiteral("getlinks"), [&] { ++first; });
    table.onButtonUp(QStringLiteral("Picture2"), [&](MouseButton) { ++first; });
    table.onPanelClick(3, [&] { ++first; });

    EXPECT_THROW(table.onMenu(QStringLiteral("getlinks"), [] {}), std::logic_error);
    EXPECT_THROW(table.onMenuArray(QStringLiteral("getlinks"), [](int) {}), std::logic_error);
    EXPECT_THROW(table.onButtonUp(QStringLiteral("Picture2"), [](MouseButton) {}), std::logic_error);
    EXPECT_THROW(table.onPanelClick(3, [] {}), std::logic_error);
    // Another event of the same control is another owner's to bind.
    EXPECT_NO_THROW(table.onButtonDown(QStringLiteral("Picture2"), [](MouseButton) {}));
    EXPECT_NO_THROW(table.onPanelDoubleClick(3, [] {}));

    EXPECT_TRUE(table.menu(QStringLiteral("getlinks"), -1));
    EXPECT_TRUE(table.buttonUp(QStringLiteral("Picture2"), MouseButton::Left));
    EXPECT_TRUE(table.panelClick(3));
    EXPECT_EQ(first, 3);
    EXPECT_FALSE(table.menu(QStringLiteral("nosuchmenu"), -1));
}

}  // namespace quorvane
