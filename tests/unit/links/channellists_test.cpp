#include "support/fakehost.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
class ChannelListsTest : public ::testing::Test {
protected:
    ChannelListsTest() : m_logic(m_state, m_host, Config{}) {}

    FakeTransfer &inet(int n) { return m_host.fakeTransfer(n); }
    void arrive(int n, const char *text)
    {
        inet(n).execute(QStringLiteral("http://home/list%1").arg(n), 12000);
        inet(n).complete(QString::fromLatin1(text));
    }
    bool shown(const char *control) const { return m_state.control(QString::fromLatin1(control)).visible; }
    QString lastNavigation(const char *name)
    {
        const QStringList &n = m_host.fakeBrowser(QString::fromLatin1(name)).navigations();
        return n.isEmpty() ? QString() : n.last();
    }

    FakeHost m_host;
    WindowState m_state;
    WindowLogic m_logic;
};
}  // namespace

TEST_F(ChannelListsTest, ChannelListFillsItsMenuAndAddressesAndOpensInTheChosenView)
{
    EXPECT_FALSE(m_logic.menuClick(QStringLiteral("pubch"), 1));
    m_logic.menuClick(QStringLiteral("pubch"), 0);  // before the list: nothing to open, no question
    EXPECT_TRUE(m_host.scripted().records().isEmpty());

    arrive(6, "Alpha<http://a/>Beta<http://b/>");
    EXPECT_EQ(m_state.menuArray(QStringLiteral("pubch")), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(m_state.ara2.items(), (QStringList{"", "http://a/", "http://b/"}));
    m_host.scripted().queueAnswer(QStringLiteral("no"));
    EXPECT_TRUE(m_logic.menuClick(QStringLiteral("pubch"), 1));
    EXPECT_EQ(m_host.scripted().records().last().text, QStringLiteral("Would You like open it in a background mode?"));
    EXPECT_EQ(m_host.scripted().records().last().title, QString());
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://b/"));
    m_host.scripted().queueAnswer(QStringLiteral("yes"));
    m_logic.menuClick(QStringLiteral("pubch"), 0);
    EXPECT_EQ(lastNavigation("WebBrowser5"), QStringLiteral("http://a/"));  // hidden, but the background view

    arrive(7, "One<http://1/>\r\nTwo<http://2/>");
    EXPECT_EQ(m_state.menuArray(QStringLiteral("pubs")), (QStringList{"One", "\r\nTwo"}));
    m_host.fakeBrowser(QStringLiteral("WebBrowser1")).setVisible(false);
    m_host.fakeBrowser(QStringLiteral("WebBrowser5")).setVisible(true);
    m_logic.menuClick(QStringLiteral("pubs"), 1);
    EXPECT_EQ(lastNavigation("WebBrowser5"), QStringLiteral("http://2/"));
}

TEST_F(ChannelListsTest, PopupButtonsAppearOnceNoListDownloadIsRunning)
{
    inet(6).execute(QStringLiteral("http://home/pubchannels.txt"), 12000);
    inet(7).execute(QStringLiteral("http://home/pubsearch.txt"), 12000);
    inet(6).complete(QStringLiteral("Alpha<A>"));
    EXPECT_FALSE(shown("Picture8"));
    EXPECT_FALSE(shown("Picture11"));
    inet(7).fail();  // a failed list still counts as done
    EXPECT_TRUE(shown("Picture8"));
    EXPECT_TRUE(shown("Picture11"));
}

TEST_F(ChannelListsTest, AccountListAndPrivateListsOfTwoLogins)
{
    arrive(9, "pw1<S1><C1><T1>pw2<S2><C2><T2>");
    EXPECT_EQ(m_state.pass.items(), (QStringList{"pw1", "pw2"}));
    EXPECT_EQ(m_state.pass_search.items(), (QStringList{"S1", "S2"}));
    EXPECT_EQ(m_state.pass_chann.items(), (QStringList{"C1", "C2"}));
    EXPECT_EQ(m_state.today.items(), (QStringList{"T1", "T2"}));

    arrive(5, "P1<http://a1/>P2<http://a2/>P3<http://a3/>");
    EXPECT_EQ(m_state.menuArray(QStringLiteral("privch")), (QStringList{"P1", "P2", "P3"}));
    // The second login's list replaces the first; entry 0 is reused.
    arrive(5, "Q1<http://b1/>");
    EXPECT_EQ(m_state.menuArray(QStringLiteral("privch")), QStringList{"Q1"});
    EXPECT_EQ(m_state.privchann.items(), (QStringList{"", "http://b1/"}));
    arrive(8, "Find<http://f1/>Seek<http://f2/>");
    arrive(8, "Look<http://g1/>");
    EXPECT_EQ(m_state.menuArray(QStringLiteral("privs")), QStringList{"Look"});
    EXPECT_EQ(m_state.privsearch.items(), (QStringList{"", "http://g1/"}));
    m_logic.menuClick(QStringLiteral("privs"), 0);
    EXPECT_EQ(lastNavigation("WebBrowser1"), QStringLiteral("http://g1/"));

    // A failed private list empties its addresses; the menu keeps only entry 0.
    inet(8).execute(QStringLiteral("http://home/x"), 12000);
    inet(8).fail();
    EXPECT_TRUE(m_state.privsearch.isEmpty());
    EXPECT_EQ(m_state.menuArray(QStringLiteral("privs")), QStringList{"Look"});
    EXPECT_FALSE(m_logic.menuClick(QStringLiteral("privs"), 1));
}

TEST_F(ChannelListsTest, PrivateListsAreRetriedOnceAfterTwentySeconds)
{
    Timer *timer10 = &m_host.fakeTimer(10);
    Timer *timer11 = &m_host.fakeTimer(11);
    timer10->setInterval(20000);
    timer11->setInterval(20000);
    inet(5).execute(QStringLiteral("http://home/channels"), 12000);
    inet(8).execute(QStringLiteral("http://home/search"), 12000);
    timer10->setEnabled(true);
    timer11->setEnabled(true);
    inet(5).fail();
    inet(8).complete(QStringLiteral("S<s>"));  // arrived: no retry, button back
    EXPECT_FALSE(timer11->enabled());
    EXPECT_TRUE(m_state.control(QStringLiteral("Picture8")).visible);

    m_host.clock().advance(20000);
    EXPECT_EQ(inet(5).executed(), (QStringList{"http://home/channels", "http://home/channels"}));
    EXPECT_EQ(inet(8).executed().size(), 1);
    EXPECT_FALSE(timer10->enabled());
    m_host.clock().advance(60000);
    EXPECT_EQ(inet(5).executed().size(), 2);
    inet(5).complete(QStringLiteral("Chan<c>"));
    EXPECT_TRUE(m_state.control(QStringLiteral("Picture11")).visible);
}
