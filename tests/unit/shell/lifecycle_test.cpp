#include "support/shellfixture.h"

using namespace quorvane;

using LifecycleTest = ShellTest;

TEST_F(LifecycleTest, StartUpShowsBrowser1LoadsTheWelcomePageOutOfSightAndStartsTheHomeSiteDownloads)
{
    showSecondView();
    m_host.fakeTimer(5).setEnabled(true);
    m_logic.Form_Load();
    EXPECT_EQ(secondView().navigations(), QStringList{"http://home.test/welcome.htm"});
    EXPECT_FALSE(secondView().isVisible());
    EXPECT_TRUE(mainView().isVisible());
    const struct {
        int slot;
        const char *url;
        int maxBytes;
    } downloads[] = {{6, "http://home.test/pubchannels.txt", 12000},
                     {7, "http://home.test/pubsearch.txt", 12000},
                     {9, "http://home.test/pass.txt", 12000},
                     {10, "http://home.test/list5.txt", 64000}};
    for (const auto &d : downloads) {
        SCOPED_TRACE(d.url);
        EXPECT_EQ(m_host.fakeTransfer(d.slot).executed(), QStringList{QString::fromLatin1(d.url)});
        EXPECT_EQ(m_host.fakeTransfer(d.slot).lastMaxBytes(), d.maxBytes);
    }
    for (int t = 3; t <= 12; ++t) {
        EXPECT_FALSE(m_host.fakeTimer(t).enabled()) << t;
        EXPECT_EQ(m_host.fakeTimer(t).interval(), t == 12 ? 5000 : t >= 10 ? 20000 : 30000) << t;
    }
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Public zone"));
}

TEST_F(LifecycleTest, ShutdownStopsTheReadersTrimsTheMenusAndLeavesTheFavoritesAlone)
{
    m_logic.Form_Load();
    m_state.setMenuArray(QStringLiteral("pubch"), {QStringLiteral("A"), QStringLiteral("B")});
    for (int i = 1; i <= 4; ++i)
        m_host.fakeTransfer(i).execute(QStringLiteral("http://crawl/%1").arg(i), 32000);
    m_logic.Form_Unload();
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(m_host.fakeTransfer(i).stillExecuting()) << i;
    // Run-time menus keep only their design-time first entry.
    EXPECT_EQ(m_state.menuArray(QStringLiteral("pubch")), QStringList{QStringLiteral("A")});
    // harvest_frames.sh reads the files a first run's shutdown writes; favorites
    // are written when they change, never at shutdown.
    m_logic.Form_Terminate();
    EXPECT_EQ(file("favor2.txt"), QByteArray("<missing>"));
}

TEST_F(LifecycleTest, ListsRoundTripThroughTheirFilesWithTheirOwnAddRules)
{
    put("domain.prv", "\"x.com\r\nab\r\n\"\r\n");
    put("domain2.txt", "\"b.org\r\na.org\r\nb.org\r\n\"\r\n");
    put("favor2.txt", "\"http://f/\r\nhttp://f/\r\n\"\r\n");
    put("list6.prv", "\"http://n/1\r\nhttp://n/1\r\n\"\r\n");
    put("lb.prv", "\"http://typed/\r\n\r\nhttp://typed/\r\n\"\r\n");
    m_logic.Form_Load();
    EXPECT_EQ(m_state.domain.items(), (QStringList{"ab", "x.com"}));
    EXPECT_EQ(m_state.domain2.items(), (QStringList{"a.org", "b.org"}));
    EXPECT_EQ(m_state.favorit2.items(), QStringList{"http://f/"});
    EXPECT_EQ(m_state.List6.items(), (QStringList{"http://n/1", "http://n/1"}));
    EXPECT_EQ(m_state.Combo2.list.items(), QStringList{"http://typed/"});

    m_state.domain2.add(QStringLiteral("c\"quote.org"));
    m_state.List2.add(QStringLiteral("http://img/a.gif'><script>alert(1)</script>"));
    m_logic.Form_Unload();
    m_logic.Form_Terminate();
    EXPECT_EQ(file("domain.prv"), QByteArray("\"ab\r\nx.com\r\n\"\r\n"));
    EXPECT_EQ(file("domain2.txt"), QByteArray("\"a.org\r\nb.org\r\nc%22quote.org\r\n\"\r\n"));
    EXPECT_EQ(file("list6.prv"), QByteArray("\"http://n/1\r\nhttp://n/1\r\n\"\r\n"));
    // A hostile image address cannot break out of the buffer page's attribute.
    EXPECT_EQ(file("error1.htm"), QByteArray("<html><body><img src='http://img/a.gif&#39;&gt;&lt;script&gt;"
                                             "alert(1)&lt;/script&gt;'></body></html>\r\n"));
}
