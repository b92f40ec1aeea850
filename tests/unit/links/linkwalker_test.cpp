#include "support/fakehost.h"
#include "links/harvester.h"
#include "links/linkwalker.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
class LinkWalkerTest : public ::testing::Test {
protected:
    LinkWalkerTest() : m_logic(m_state, m_host, Config{}) {}

    void harvest(const QStringList &texts)
    {
        for (const QString &text : texts) {
            const QString address = QStringLiteral("http://") + text.toLower() + QStringLiteral(".test/");
            m_state.List7.add(address);
            m_state.List3.add(Harvester::linkRow(address, text));
            m_state.listlinks.add(address);
        }
    }
    void next() { m_logic.buttonUp(QStringLiteral("Picture27"), MouseButton::Left); }
    void previous() { m_logic.buttonUp(QStringLiteral("Picture26"), MouseButton::Left); }
    FakeBrowser &browser(const char *name) { return m_host.fakeBrowser(QString::fromLatin1(name)); }
    QString lastNavigation(const char *name) { return browser(name).navigations().value(browser(name).navigations().size() - 1); }

    FakeHost m_host;
    WindowState m_state;
    WindowLogic m_logic;
};
}  // namespace

TEST_F(LinkWalkerTest, StepsThroughTheHarvestAndStopsAtBothEnds)
{
    harvest({"Alpha", "Weather", "Gamma"});
    next();
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://weather.test/"));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("--> Weather"));
    next();
    next();
    EXPECT_EQ(m_state.currentLinkIndex(), 2);
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://gamma.test/"));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Page # End"));
    previous();
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Weather <-- "));
    previous();
    previous();
    EXPECT_EQ(m_state.currentLinkIndex(), 0);
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://alpha.test/"));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Page # Start"));
    EXPECT_EQ(browser("WebBrowser1").navigations().size(), 6);
    EXPECT_TRUE(browser("WebBrowser5").navigations().isEmpty());  // hidden

    // With Browser 2 shown instead, the walk follows it.
    browser("WebBrowser1").setVisible(false);
    browser("WebBrowser5").setVisible(true);
    next();
    EXPECT_EQ(lastNavigation("WebBrowser5"), QStringLiteral("http://weather.test/"));
}

TEST_F(LinkWalkerTest, ClearingForgetsTheWalkUntilTheNextHarvest)
{
    harvest({"Alpha", "Beta"});
    next();
    m_logic.buttonUp(QStringLiteral("Picture28"), MouseButton::Left);
    EXPECT_TRUE(m_state.List7.isEmpty());
    EXPECT_EQ(m_state.currentLinkIndex(), 0);
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("List is clear"));
    next();
    previous();
    EXPECT_EQ(browser("WebBrowser1").navigations().size(), 1);
}

TEST_F(LinkWalkerTest, AWalkLeftBeyondAShorterHarvestOrMissingRowsDoesNotFail)
{
    harvest({"Alpha", "Beta"});
    m_state.setCurrentLinkIndex(7);  // from an earlier, longer harvest
    next();
    EXPECT_EQ(m_state.currentLinkIndex(), 1);
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Page # End"));
    m_state.setCurrentLinkIndex(7);
    previous();
    EXPECT_EQ(m_state.currentLinkIndex(), 0);
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://alpha.test/"));

    m_state.List3.clear();  // Clear All Links empties the rows, not the walk
    next();
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("--> http://beta.test/"));
    previous();
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("http://alpha.test/ <-- "));
}

TEST_F(LinkWalkerTest, LinkTextIsShownAsPlainText)
{
    EXPECT_EQ(LinkWalker::linkTextOfRow(Harvester::linkRow(QStringLiteral("http://x/"), QStringLiteral("Tom & <Jerry>"))),
              QStringLiteral("Tom & <Jerry>"));
    EXPECT_EQ(LinkWalker::linkTextOfRow(QStringLiteral("<td>cell</td>")), QStringLiteral("cell"));
    EXPECT_EQ(LinkWalker::linkTextOfRow(QStringLiteral("no markup")), QString());
}

TEST_F(LinkWalkerTest, RightClickOpensAndDoubleClickRemovesForGood)
{
    harvest({"A", "B", "C", "D", "E"});
    m_logic.listClick(QStringLiteral("listlinks"), 1);
    m_logic.listMouseDown(QStringLiteral("listlinks"), 1, MouseButton::Left);
    EXPECT_TRUE(browser("WebBrowser1").navigations().isEmpty());
    m_logic.listMouseDown(QStringLiteral("listlinks"), 1, MouseButton::Right);
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://b.test/"));

    m_logic.listDoubleClick(QStringLiteral("listlinks"), 2);
    EXPECT_EQ(m_state.listlinks.items(),
              (QStringList{"http://a.test/", "http://b.test/", "http://d.test/", "http://e.test/"}));
    EXPECT_EQ(m_state.listlinks2.items(), QStringList{"http://c.test/"});
    EXPECT_EQ(m_state.panelText(3), QStringLiteral(" Here live only 4 links ! "));
}

namespace {
class HomePageWalkTest : public LinkWalkerTest {
protected:
    void press() { m_logic.buttonUp(QStringLiteral("Picture24"), MouseButton::Left); }
    FakeTransfer &inet10() { return m_host.fakeTransfer(10); }
    const QString root = QStringLiteral("http://127.0.0.1:8737/");
};
}  // namespace

TEST_F(HomePageWalkTest, ShowsEachPageOncePerCycleThenRefetchesAndRestartsAtTheRoot)
{
    m_state.List5.setItems({QStringLiteral("http://a/"), QStringLiteral("http://b/"), QStringLiteral("http://c/")});
    m_state.List6.setItems({QStringLiteral("http://a/"), QStringLiteral("http://c/")});
    press();
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://b/"));
    EXPECT_EQ(m_state.List5.items(), QStringList{"http://c/"});
    EXPECT_EQ(m_state.List6.items(), (QStringList{"http://a/", "http://c/", "http://b/"}));

    press();
    EXPECT_TRUE(m_state.List5.isEmpty());
    EXPECT_EQ(inet10().executed(), QStringList{root + QStringLiteral("list5.txt")});
    EXPECT_EQ(inet10().lastMaxBytes(), 64000);
    inet10().complete(QStringLiteral("http://a/\r\nhttp://b/\r\nhttp://c/\r\n"));
    EXPECT_TRUE(m_state.List6.isEmpty());
    EXPECT_TRUE(m_state.List5.isEmpty());
    EXPECT_EQ(lastNavigation("WebBrowser1"), root);

    // The next cycle starts with the first page of the list.
    press();
    inet10().complete(QStringLiteral("http://a/\r\nhttp://b/\r\nhttp://c/\r\n"));
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://a/"));
    EXPECT_EQ(m_state.List5.items(), (QStringList{"http://b/", "http://c/"}));
    EXPECT_EQ(m_state.List6.items(), QStringList{"http://a/"});
}

TEST_F(HomePageWalkTest, TheListArrivingAtStartUpShowsTheFirstPageNotYetShown)
{
    m_state.List6.setItems({QString(), QStringLiteral("http://a/")});  // a first run's empty entry
    inet10().execute(root + QStringLiteral("list5.txt"), 64000);  // as start-up does
    inet10().complete(QStringLiteral("http://a/\r\nhttp://b/\r\nhttp://c/"));  // C lacks its CR LF
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://b/"));
    EXPECT_TRUE(m_state.List5.isEmpty());

    // A failed or empty download leaves the walk as it was.
    press();
    inet10().fail();
    EXPECT_EQ(m_state.List6.items(), (QStringList{"", "http://a/", "http://b/"}));
}
