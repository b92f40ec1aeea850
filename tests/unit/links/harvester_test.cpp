#include "support/fakehost.h"
#include "links/harvester.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
class HarvesterTest : public ::testing::Test {
protected:
    HarvesterTest() : m_logic(m_state, m_host, Config{}) {}

    void show(const QString &html, const char *browser = "WebBrowser1")
    {
        m_host.fakeBrowser(QString::fromLatin1(browser)).load(QStringLiteral("http://site.test/page.htm"), html);
    }
    void harvest() { ASSERT_TRUE(m_logic.menuClick(QStringLiteral("getlinks"))); }

    FakeHost m_host;
    WindowState m_state;
    WindowLogic m_logic;
};
}  // namespace

TEST_F(HarvesterTest, EachNewLinkGoesToTheThreeListsOnce)
{
    show(QStringLiteral("<body><a href='/b'>Bee</a><a href='/a'>Ay</a><a href='/b'>again</a>"
                        "<a href='HTTP://SITE.TEST/a'>case</a></body>"));
    harvest();
    EXPECT_EQ(m_state.List7.items(), (QStringList{"http://site.test/b", "http://site.test/a"}));
    EXPECT_EQ(m_state.listlinks.items(), (QStringList{"http://site.test/a", "http://site.test/b"}));
    EXPECT_EQ(m_state.List3.items(),
              (QStringList{"<a href='http://site.test/b'>Bee</a><br>", "<a href='http://site.test/a'>Ay</a><br>"}));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Done"));
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Found - 2 links"));
    EXPECT_TRUE(m_state.harvestRequested());

    harvest();  // the same page again adds nothing
    EXPECT_EQ(m_state.List3.count(), 2);
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Found - 2 links"));
}

TEST_F(HarvesterTest, AnAddressThatIsPartOfALongerOneIsStillTaken)
{
    show(QStringLiteral("<body><a href='http://x.test/a2'>two</a><a href='http://x.test/a'>http://x.test/a</a>"
                        "<a href='http://x.test/'>root</a></body>"));
    harvest();
    EXPECT_EQ(m_state.List7.items(), (QStringList{"http://x.test/a2", "http://x.test/a", "http://x.test/"}));
}

TEST_F(HarvesterTest, LinksWithoutTextShowTheirAddress)
{
    show(QStringLiteral("<body><a href='/pic'><img src='p.gif'></a><map><area href='/area' alt=x></map></body>"));
    harvest();
    EXPECT_EQ(m_state.List3.at(0), QStringLiteral("<a href='http://site.test/pic'>http://site.test/pic</a><br>"));
    EXPECT_EQ(m_state.List3.at(1), QStringLiteral("<a href='http://site.test/area'>http://site.test/area</a><br>"));
}

TEST_F(HarvesterTest, KeywordFilterMatchesAddressOrTextIgnoringCaseButNotTheMarkup)
{
    show(QStringLiteral("<body><a href='/WEATHER/today'>one</a><a href='/x'>Local Weather</a>"
                        "<a href='/y'>other</a><a href='/z'>href</a></body>"));
    m_state.setComboText(m_state.Combo1, QStringLiteral("weather"));
    harvest();
    EXPECT_EQ(m_state.List7.items(), (QStringList{"http://site.test/WEATHER/today", "http://site.test/x"}));
    // "href" stands in every row's markup, but only the last link holds it.
    m_state.setComboText(m_state.Combo1, QStringLiteral("href"));
    harvest();
    EXPECT_EQ(m_state.List7.at(2), QStringLiteral("http://site.test/z"));
    EXPECT_EQ(m_state.List7.count(), 3);
}

TEST_F(HarvesterTest, FramesetsContributeTheirFramesLinksInFrameOrderAtEveryDepth)
{
    m_host.web().setPage(QStringLiteral("http://site.test/left.htm"),
                         QStringLiteral("<body><a href='/l1'>L1</a><a href='/l2'>L2</a></body>"));
    m_host.web().setPage(QStringLiteral("http://site.test/right.htm"),
                         QStringLiteral("<frameset cols='50%,50%'><frame src='inner.htm'></frameset>"));
    m_host.web().setPage(QStringLiteral("http://site.test/inner.htm"),
                         QStringLiteral("<body><a href='/r1'>R1</a></body>"));
    show(QStringLiteral("<frameset cols='50%,50%'><frame src='left.htm'><frame src='right.htm'>"
                        "<a href='/own'>own</a></frameset>"));
    harvest();
    EXPECT_EQ(m_state.List7.items(),
              (QStringList{"http://site.test/l1", "http://site.test/l2", "http://site.test/r1"}));
}

TEST_F(HarvesterTest, OnlyVisibleBrowsersAreHarvested)
{
    show(QStringLiteral("<body><a href='/one'>1</a></body>"));
    show(QStringLiteral("<body><a href='/five'>5</a></body>"), "WebBrowser5");
    harvest();
    EXPECT_EQ(m_state.List7.items(), QStringList{"http://site.test/one"});
    m_host.browser(BrowserId::MainView)->setVisible(false);
    harvest();
    EXPECT_EQ(m_state.List7.count(), 1);
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Done"));
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Found - 1 links"));
}

TEST_F(HarvesterTest, TheToolbarButtonStartsAfreshAndClearsThePageQueue)
{
    show(QStringLiteral("<body><a href='/one'>1</a></body>"));
    harvest();
    m_state.List4.add(QStringLiteral("http://queued/"));
    show(QStringLiteral("<body>no links</body>"));
    ASSERT_TRUE(m_logic.buttonUp(QStringLiteral("Picture241"), MouseButton::Right));
    EXPECT_TRUE(m_state.listlinks.isEmpty());
    EXPECT_TRUE(m_state.List3.isEmpty());
    EXPECT_TRUE(m_state.List7.isEmpty());
    EXPECT_TRUE(m_state.List4.isEmpty());
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Found - 0 links"));
}

TEST_F(HarvesterTest, RowsEscapePageTextWhileTheListsKeepItAsThePageHadIt)
{
    show(QStringLiteral("<body><a href=\"/q?a=1&amp;b='2'\">&lt;img src=x onerror=alert(1)&gt; Tom &amp; Jerry</a></body>"));
    harvest();
    const QString address = QStringLiteral("http://site.test/q?a=1&b='2'");
    EXPECT_EQ(m_state.listlinks.at(0), address);
    EXPECT_EQ(m_state.List3.at(0),
              QStringLiteral("<a href='http://site.test/q?a=1&amp;b=&#39;2&#39;'>&lt;img src=x onerror=alert(1)&gt; "
                             "Tom &amp; Jerry</a><br>"));
    EXPECT_EQ(Harvester::addressOfLinkRow(m_state.List3.at(0)), address);
    harvest();  // the escaped row still counts as the same address
    EXPECT_EQ(m_state.List3.count(), 1);
}

TEST_F(HarvesterTest, ScriptAddressesAreNeverTaken)
{
    show(QStringLiteral("<body><a href='javascript:alert(1)'>run</a><a href=' JavaScript:x()'>x</a>"
                        "<a href='data:text/html,<script>alert(1)</script>'>d</a><a href='/ok'>ok</a></body>"));
    harvest();
    EXPECT_EQ(m_state.List7.items(), QStringList{"http://site.test/ok"});
}

TEST_F(HarvesterTest, DuplicateTestFollowsChangesMadeToTheRowsElsewhere)
{
    show(QStringLiteral("<body><a href='/one'>1</a></body>"));
    harvest();
    m_state.List3.clear();  // as the clear-all command does
    harvest();
    EXPECT_EQ(m_state.List3.count(), 1);
    // Report rows that merely mention an address are not link rows.
    m_state.List3.clear();
    m_state.List3.add(QStringLiteral("<tr><td><a href='http://site.test/one'>t</a></td></tr>"));
    harvest();
    EXPECT_EQ(m_state.List3.count(), 2);
}
