#include "support/filesizelimit.h"
#include "support/shellfixture.h"

using namespace quorvane;

using FavoritesTest = ShellTest;

TEST_F(FavoritesTest, PanelsToggleAtTheirPlaceFollowTheZoneAndHideEachOther)
{
    m_state.setVisible(QStringLiteral("domain2"), true);
    click("Picture9");
    EXPECT_TRUE(visible("favorit2"));
    EXPECT_FALSE(visible("domain2"));
    EXPECT_EQ(rect("favorit2"), (QList<int>{0, 1200, 3800, 2200}));
    click("Picture9");
    for (const char *list : {"favorit", "favorit2", "domain", "domain2"})
        EXPECT_FALSE(visible(list)) << list;

    click("Picture10");
    EXPECT_TRUE(visible("domain2"));
    m_state.setPrivateZone(true);
    click("Picture10");  // the zone's own history, and the other zone's hidden
    EXPECT_FALSE(visible("domain2"));
    EXPECT_TRUE(visible("domain"));
    menu("history");
    EXPECT_FALSE(visible("domain"));
}

// A restart drops the duplicates: LifecycleTest.ListsRoundTripThroughTheirFilesWithTheirOwnAddRules.
TEST_F(FavoritesTest, AddingSavesTheWholeListByteForByteOrNothingOnAFullDisk)
{
    mainView().load(QStringLiteral("http://a.test/"), QString());
    secondView().load(QStringLiteral("http://other.test/"), QString());
    showSecondView();  // Browser 1's address is the one added
    click("Picture9");
    menu("add");
    menu("add");
    const QByteArray saved("\"http://a.test/\r\nhttp://a.test/\r\n\"\r\n");
    EXPECT_EQ(file("favor2.txt"), saved);
    EXPECT_FALSE(visible("favorit2"));

    mainView().load(QStringLiteral("http://a-much-longer-address.test/"), QString());
    {
        const quorvane::testing::FileSizeLimit fullDisk;
        menu("add");
    }
    EXPECT_EQ(file("favor2.txt"), saved);
    EXPECT_EQ(m_state.favorit2.count(), 3);  // the list itself still changed

    m_state.setPrivateZone(true);
    mainView().load(QStringLiteral("http://secret.test/p?q=\"x\""), QString());
    menu("add");
    // A quote goes to the file percent-encoded, an equivalent address.
    EXPECT_EQ(file("favor.prv"), QByteArray("\"http://secret.test/p?q=%22x%22\r\n\"\r\n"));
}

TEST_F(FavoritesTest, DoubleClickRemovesTheSelectedRowAndFavoritesRewriteTheirFile)
{
    m_state.favorit2.setItems({QStringLiteral("http://a.test/"), QStringLiteral("http://b.test/")});
    m_logic.listDoubleClick(QStringLiteral("favorit2"), 0);
    EXPECT_EQ(file("favor2.txt"), QByteArray("\"http://b.test/\r\n\"\r\n"));
    m_logic.listDoubleClick(QStringLiteral("favorit2"), 0);
    m_logic.listDoubleClick(QStringLiteral("favorit2"), 0);  // nothing left to remove
    EXPECT_EQ(file("favor2.txt"), QByteArray("\"\"\r\n"));

    m_state.List3.setItems({QStringLiteral("<b>row 0</b>"), QStringLiteral("<b>row 1</b>")});
    m_state.domain2.setItems({QStringLiteral("hist.test")});
    m_logic.listDoubleClick(QStringLiteral("List3"), 1);
    m_logic.listDoubleClick(QStringLiteral("domain2"), 0);
    EXPECT_EQ(m_state.List3.items(), QStringList{"<b>row 0</b>"});
    EXPECT_TRUE(m_state.domain2.isEmpty());
}

TEST_F(FavoritesTest, RightButtonOpensFavoritesInTheVisibleViewAndHistoryAndFoundPagesInBrowser1)
{
    m_state.favorit2.setItems({QStringLiteral("http://fav.test/")});
    m_state.favorit2.setSelected(0);
    m_state.domain2.setItems({QStringLiteral("hist.test")});
    m_state.domain2.setSelected(0);
    m_state.List1.setItems({QStringLiteral("http://found.test/")});
    m_state.List1.setSelected(0);
    showSecondView();
    m_logic.listMouseDown(QStringLiteral("favorit2"), 0, MouseButton::Left);  // only the right button opens
    for (const char *list : {"favorit2", "domain2", "List1"})
        m_logic.listMouseDown(QString::fromLatin1(list), 0, MouseButton::Right);
    EXPECT_EQ(secondView().navigations(), QStringList{"http://fav.test/"});
    EXPECT_EQ(mainView().navigations(), (QStringList{"hist.test", "http://found.test/"}));
}
