#include "support/shellfixture.h"
#include "shell/toolbar.h"

using namespace quorvane;

using WindowLayoutTest = ShellTest;

TEST_F(WindowLayoutTest, ResizeFollowsTheClientAreaButNeverAppliesANegativeSize)
{
    // The design client area gives the figures of the layout.
    m_logic.resizeClient(7650, 4650);
    EXPECT_EQ(rect("Picture1"), (QList<int>{0, 0, 7620, 420}));
    EXPECT_EQ(rect("Combo2"), (QList<int>{3135, 480, 4480, 315}));
    EXPECT_EQ(rect("WebBrowser1"), (QList<int>{0, 840, 7620, 3525}));
    EXPECT_EQ(rect("WebBrowser5"), (QList<int>{0, 840, 7620, 3525}));
    EXPECT_EQ(rect("StatusBar1"), (QList<int>{0, 4395, 7650, 255}));

    m_logic.resizeClient(3000, 4000);
    EXPECT_EQ(rect("Combo2")[2], 4480);
    EXPECT_EQ(rect("Picture1")[2], 2970);
    EXPECT_EQ(rect("WebBrowser5"), (QList<int>{0, 840, 2970, 4000 - 255 - 840 - 30}));
    m_logic.resizeClient(20, 900);
    EXPECT_EQ(rect("WebBrowser1"), (QList<int>{0, 840, 2970, 4000 - 255 - 840 - 30}));
    EXPECT_EQ(rect("Picture1")[2], 2970);
}

TEST_F(WindowLayoutTest, PictureButtonsSitSideBySideInsideTheToolbarStrip)
{
    int right = 0;
    for (const PictureButtonInfo &b : Toolbar::buttons()) {
        const QList<int> r = rect(b.name);
        EXPECT_GE(r[0], right) << b.name;
        EXPECT_LE(r[1] + r[3], 420) << b.name;
        right = r[0] + r[2];
    }
    EXPECT_LE(right, 7620);
}
