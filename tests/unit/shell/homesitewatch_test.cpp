// A home site that cannot be reached at start-up: said, shown and retried.
#include "support/shellfixture.h"
#include "shell/homesitewatch.h"

using namespace quorvane;

using HomeSiteWatchTest = ShellTest;

TEST_F(HomeSiteWatchTest, FailedListsAreSaidShownAndRetriedUntilTheyArrive)
{
    m_logic.Form_Load();
    const QString note = HomeSiteWatch::offlinePage("http://home.test/welcome.htm");
    inet(6).fail();
    EXPECT_EQ(m_state.panelText(1), HomeSiteWatch::unreachableText("home.test"));
    EXPECT_EQ(mainView().written(), note);  // it showed nothing yet
    // The welcome page's own failed load ends first; then the note replaces it.
    EXPECT_TRUE(secondView().written().isEmpty());
    ASSERT_TRUE(secondView().finishLoad());
    EXPECT_EQ(secondView().written(), note);
    for (int slot : {7, 9, 10})
        inet(slot).fail();
    EXPECT_EQ(secondView().written(), note);  // written once

    // Each retry fetches only what failed; the timer is not a window control.
    inet(7).execute("http://home.test/pubsearch.txt", 12000);
    inet(7).complete("");
    m_host.clock().advance(HomeSiteWatch::RetryInterval);
    for (int slot : {6, 9, 10}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(inet(slot).executed().size(), 2);
        EXPECT_EQ(inet(slot).executed().last(), inet(slot).executed().first());
    }
    EXPECT_EQ(inet(7).executed().size(), 2);  // the one completed above, not retried
    EXPECT_EQ(inet(10).lastMaxBytes(), 64000);
    EXPECT_FALSE(m_host.fakeTimer(TimerId::HomeSiteRetry).enabled());

    inet(6).fail();  // still down: the next round is armed, said once
    EXPECT_TRUE(m_host.fakeTimer(TimerId::HomeSiteRetry).enabled());
    m_host.clock().advance(HomeSiteWatch::RetryInterval);
    for (int slot : {6, 9, 10})
        inet(slot).complete("");
    EXPECT_EQ(m_state.panelText(1), HomeSiteWatch::reachedText("home.test"));
    EXPECT_EQ(lastNavigation(secondView()), "http://home.test/welcome.htm");
    EXPECT_FALSE(m_host.fakeTimer(TimerId::HomeSiteRetry).enabled());
}

TEST_F(HomeSiteWatchTest, APageTheUserOpenedStaysAnErrorAnswerIsNoOutageAndTheAddressIsEscaped)
{
    m_logic.Form_Load();
    inet(6).respond(FakeResponse{404, {}, {}, {}, {}});  // the site answered, with an error
    EXPECT_NE(m_state.panelText(1), HomeSiteWatch::unreachableText("home.test"));
    EXPECT_FALSE(m_host.fakeTimer(TimerId::HomeSiteRetry).enabled());
    mainView().load("http://open.test/", "<body>mine</body>");
    inet(9).fail();
    EXPECT_EQ(mainView().locationUrl(), "http://open.test/");
    EXPECT_TRUE(mainView().written().isEmpty());
    EXPECT_TRUE(HomeSiteWatch::offlinePage("http://a/<b>&").contains("http://a/&lt;b&gt;&amp;"));
}
