// The channel and search lists from the home site and the account list.
#include "support/shellfixture.h"

using namespace quorvane;

namespace {
class ChannelListsTest : public ShellTest {
protected:
    void arrive(int n, const char *text)
    {
        inet(n).execute(QStringLiteral("http://home.test/list%1").arg(n), 12000);
        inet(n).complete(text);
    }
    QStringList menuArray(const char *name) const { return m_state.menuArray(name); }
    bool pick(const char *name, int index) { return m_logic.menuClick(name, index); }
};
}  // namespace

TEST_F(ChannelListsTest, PublicListsFillTheirMenusShowTheButtonsAndOpenInTheChosenView)
{
    EXPECT_FALSE(pick("pubch", 1));
    pick("pubch", 0);  // before the list: nothing to open, no question
    EXPECT_TRUE(dialogs().isEmpty());

    // The pop-up buttons appear once no list download is left running; a
    // failed list counts as done.
    inet(7).execute("http://home.test/pubsearch.txt", 12000);
    arrive(6, "Alpha<http://a/>Beta<http://b/>");
    EXPECT_FALSE(visible("Picture8") || visible("Picture11"));
    inet(7).fail();
    EXPECT_TRUE(visible("Picture8") && visible("Picture11"));
    EXPECT_EQ(menuArray("pubch"), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(m_state.ara2.items(), (QStringList{"", "http://a/", "http://b/"}));
    answer({"no", "yes"});
    EXPECT_TRUE(pick("pubch", 1));
    EXPECT_EQ(dialogs(), QStringList{"question:Would You like open it in a background mode?"});
    EXPECT_EQ(lastNavigation(mainView()), "http://b/");
    pick("pubch", 0);
    EXPECT_EQ(lastNavigation(secondView()), "http://a/");  // hidden, but the background view

    // Search engines open in the view shown, without a question.
    arrive(7, "One<http://1/>\r\nTwo<http://2/>");
    EXPECT_EQ(menuArray("pubs"), (QStringList{"One", "\r\nTwo"}));
    showSecondView();
    pick("pubs", 1);
    EXPECT_EQ(lastNavigation(secondView()), "http://2/");
}

TEST_F(ChannelListsTest, AccountListAndPrivateListsOfTwoLogins)
{
    arrive(9, "pw1<S1><C1><T1>pw2<S2><C2><T2>");
    EXPECT_EQ(m_state.pass.items(), (QStringList{"pw1", "pw2"}));
    EXPECT_EQ(m_state.pass_search.items(), (QStringList{"S1", "S2"}));
    EXPECT_EQ(m_state.pass_chann.items(), (QStringList{"C1", "C2"}));
    EXPECT_EQ(m_state.today.items(), (QStringList{"T1", "T2"}));

    const struct {
        int slot;
        const char *menu;
        const ListControl &addresses;
    } lists[] = {{5, "privch", m_state.privchann}, {8, "privs", m_state.privsearch}};
    for (const auto &l : lists) {
        SCOPED_TRACE(l.menu);
        arrive(l.slot, "P1<http://a1/>P2<http://a2/>P3<http://a3/>");
        EXPECT_EQ(menuArray(l.menu), (QStringList{"P1", "P2", "P3"}));
        // The second login's list replaces the first; entry 0 is reused.
        arrive(l.slot, "Q1<http://b1/>");
        EXPECT_EQ(menuArray(l.menu), QStringList{"Q1"});
        EXPECT_EQ(l.addresses.items(), (QStringList{"", "http://b1/"}));
        pick(l.menu, 0);
        EXPECT_EQ(lastNavigation(mainView()), "http://b1/");

        // A failed list empties its addresses; the menu keeps only entry 0.
        inet(l.slot).execute("http://home.test/x", 12000);
        inet(l.slot).fail();
        EXPECT_TRUE(l.addresses.isEmpty());
        EXPECT_EQ(menuArray(l.menu), QStringList{"Q1"});
        EXPECT_FALSE(pick(l.menu, 1));
    }
}

TEST_F(ChannelListsTest, PrivateListsAreRetriedOnceAfterTwentySeconds)
{
    FakeTimer &timer10 = m_host.fakeTimer(10);
    FakeTimer &timer11 = m_host.fakeTimer(11);
    timer10.setInterval(20000);
    timer11.setInterval(20000);
    inet(5).execute("http://home.test/channels", 12000);
    inet(8).execute("http://home.test/search", 12000);
    timer10.setEnabled(true);
    timer11.setEnabled(true);
    inet(5).fail();
    inet(8).complete("S<http://s/>");  // arrived: no retry, button back
    EXPECT_FALSE(timer11.enabled());
    EXPECT_TRUE(visible("Picture8"));

    m_host.clock().advance(20000);
    EXPECT_EQ(inet(5).executed(), (QStringList{"http://home.test/channels", "http://home.test/channels"}));
    EXPECT_EQ(inet(8).executed().size(), 1);
    EXPECT_FALSE(timer10.enabled());
    m_host.clock().advance(60000);
    EXPECT_EQ(inet(5).executed().size(), 2);
    inet(5).complete("Chan<c>");
    EXPECT_TRUE(visible("Picture11"));
}
