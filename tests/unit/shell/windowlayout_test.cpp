#include "support/shellfixture.h"

using namespace quorvane;

namespace {
class WindowLayoutTest : public ShellTest {
protected:
    QList<int> rect(const char *name) const
    {
        const ControlState c = m_state.control(QString::fromLatin1(name));
        return {c.left, c.top, c.width, c.height};
    }
};
}  // namespace

TEST_F(WindowLayoutTest, DesignClientAreaGivesTheFiguresOfTheLayout)
{
    m_logic.resizeClient(7650, 4650);
    EXPECT_EQ(rect("Picture1"), (QList<int>{0, 0, 7620, 420}));
    EXPECT_EQ(rect("Combo2"), (QList<int>{3135, 480, 4480, 315}));
    EXPECT_EQ(rect("WebBrowser1"), (QList<int>{0, 840, 7620, 3525}));
    EXPECT_EQ(rect("WebBrowser5"), (QList<int>{0, 840, 7620, 3525}));
    EXPECT_EQ(rect("StatusBar1"), (QList<int>{0, 4395, 7650, 255}));
    EXPECT_EQ(rect("Combo1"), (QList<int>{600, 480, 2535, 315}));
    EXPECT_EQ(rect("Label1"), (QList<int>{0, 480, 615, 255}));
}

TEST_F(WindowLayoutTest, SizesThatWouldBeNegativeAreNotAppliedAndTheRestStillFollows)
{
    m_logic.resizeClient(7650, 4650);
    m_logic.resizeClient(3000, 4000);
    EXPECT_EQ(rect("Combo2")[2], 4480);
    EXPECT_EQ(rect("Picture1")[2], 2970);
    EXPECT_EQ(rect("WebBrowser1")[2], 2970);
    EXPECT_EQ(rect("WebBrowser5")[3], 4000 - 255 - 840 - 30);
    m_logic.resizeClient(20, 900);
    EXPECT_EQ(rect("WebBrowser1"), (QList<int>{0, 840, 2970, 4000 - 255 - 840 - 30}));
    EXPECT_EQ(rect("Picture1")[2], 2970);
}

TEST_F(WindowLayoutTest, PictureButtonsFitSideBySideInsideTheDesignWidth)
{
    int right = 0;
    for (const char *b : {"Picture2", "Picture3", "Picture28"}) {
        const QList<int> r = rect(b);
        EXPECT_GE(r[0], right);
        right = r[0] + r[2];
    }
    EXPECT_LE(right, 7620);
    EXPECT_LE(rect("Picture2")[1] + rect("Picture2")[3], 420);
}
