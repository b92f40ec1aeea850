#include "support/shellfixture.h"

#include "shell/favorites.h"

#include <QFile>

#include <csignal>

#include <sys/resource.h>

using namespace quorvane;

namespace {
class FavoritesTest : public ShellTest {
protected:
    bool visible(const char *name) const { return m_state.control(QString::fromLatin1(name)).visible; }
    QByteArray fileBytes(const char *name) const
    {
        QFile f(folderFile(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};
}  // namespace

TEST_F(FavoritesTest, FavoritesButtonShowsThePanelAtItsPlaceThenHidesIt)
{
    m_state.setVisible(QStringLiteral("domain2"), true);
    click("Picture9");
    EXPECT_TRUE(visible("favorit2"));
    EXPECT_FALSE(visible("domain2"));
    const ControlState c = m_state.control(QStringLiteral("favorit2"));
    EXPECT_EQ((QList<int>{c.left, c.top, c.width, c.height}), (QList<int>{0, 1200, 3800, 2200}));
    click("Picture9");
    for (const char *list : {"favorit", "favorit2", "domain", "domain2"})
        EXPECT_FALSE(visible(list)) << list;
}

TEST_F(FavoritesTest, HistoryFollowsTheZoneAndHidesTheOtherZonesList)
{
    click("Picture10");
    EXPECT_TRUE(visible("domain2"));
    m_state.setPrivateZone(true);
    click("Picture10");
    EXPECT_FALSE(visible("domain2"));
    EXPECT_TRUE(visible("domain"));
    menu("history");
    EXPECT_FALSE(visible("domain"));
}

TEST_F(FavoritesTest, AddingSavesTheWholeListByteForByteAndRestartDropsDuplicates)
{
    mainView().load(QStringLiteral("http://a.test/"), QString());
    secondView().load(QStringLiteral("http://other.test/"), QString());
    showSecondView();  // Browser 1's address is the one added
    menu("add");
    menu("add");
    EXPECT_EQ(m_state.favorit2.items(), (QStringList{"http://a.test/", "http://a.test/"}));
    EXPECT_EQ(fileBytes("favor2.txt"), QByteArray("\"http://a.test/\r\nhttp://a.test/\r\n\"\r\n"));
    EXPECT_FALSE(visible("favorit2"));

    m_state.setPrivateZone(true);
    mainView().load(QStringLiteral("http://secret.test/p?q=\"x\""), QString());
    menu("add");
    EXPECT_EQ(fileBytes("favor.prv"), QByteArray("\"http://secret.test/p?q=%22x%22\r\n\"\r\n"));

    WindowState restarted;
    FakeHost host;
    WindowLogic logic(restarted, host, config());
    logic.Form_Load();
    EXPECT_EQ(restarted.favorit2.items(), QStringList{"http://a.test/"});
    // A quote goes to the file percent-encoded, an equivalent address.
    EXPECT_EQ(restarted.favorit.items(), QStringList{"http://secret.test/p?q=%22x%22"});
}

TEST_F(FavoritesTest, DoubleClickRemovesTheSelectedFavoriteAndRewritesTheFile)
{
    m_state.favorit2.setItems({QStringLiteral("http://a.test/"), QStringLiteral("http://b.test/")});
    m_logic.listDoubleClick(QStringLiteral("favorit2"), 0);
    EXPECT_EQ(fileBytes("favor2.txt"), QByteArray("\"http://b.test/\r\n\"\r\n"));
    m_logic.listDoubleClick(QStringLiteral("favorit2"), 0);
    EXPECT_EQ(fileBytes("favor2.txt"), QByteArray("\"\"\r\n"));
    m_logic.listDoubleClick(QStringLiteral("favorit2"), 0);  // nothing left to remove
    EXPECT_EQ(fileBytes("favor2.txt"), QByteArray("\"\"\r\n"));
}

TEST_F(FavoritesTest, AFavoritesFileThatCannotBeWrittenKeepsItsPreviousContent)
{
    mainView().load(QStringLiteral("http://a.test/"), QString());
    menu("add");
    const QByteArray before = fileBytes("favor2.txt");
    // A full disk, even for root: no file may grow past a few bytes for a moment.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    mainView().load(QStringLiteral("http://a-much-longer-address.test/"), QString());
    menu("add");
    const bool saved2 = m_logic.favorites().save(m_state.favorit2);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved2);
    EXPECT_EQ(fileBytes("favor2.txt"), before);
    EXPECT_EQ(m_state.favorit2.count(), 2);  // the list itself still changed
}

TEST_F(FavoritesTest, RightButtonOpensEntriesInTheirViewsAndDoubleClickRemovesRows)
{
    m_state.favorit2.setItems({QStringLiteral("http://fav.test/")});
    m_state.favorit2.setSelected(0);
    m_state.domain2.setItems({QStringLiteral("hist.test")});
    m_state.domain2.setSelected(0);
    m_state.List1.setItems({QStringLiteral("http://found.test/")});
    m_state.List1.setSelected(0);
    showSecondView();
    m_logic.listMouseDown(QStringLiteral("favorit2"), 0, MouseButton::Left);  // only the right button opens
    m_logic.listMouseDown(QStringLiteral("favorit2"), 0, MouseButton::Right);
    m_logic.listMouseDown(QStringLiteral("domain2"), 0, MouseButton::Right);
    m_logic.listMouseDown(QStringLiteral("List1"), 0, MouseButton::Right);
    EXPECT_EQ(secondView().navigations(), QStringList{"http://fav.test/"});
    EXPECT_EQ(mainView().navigations(), (QStringList{"hist.test", "http://found.test/"}));

    m_state.List3.add(QStringLiteral("<b>row 0</b>"));
    m_state.List3.add(QStringLiteral("<b>row 1</b>"));
    m_logic.listDoubleClick(QStringLiteral("List3"), 1);
    m_logic.listDoubleClick(QStringLiteral("domain2"), 0);
    EXPECT_EQ(m_state.List3.items(), QStringList{"<b>row 0</b>"});
    EXPECT_TRUE(m_state.domain2.isEmpty());
}
