#include "support/shellfixture.h"
#include "shell/menucommands.h"
#include "shell/navigation.h"

using namespace quorvane;

namespace {
using NavigationTest = ShellTest;

const QString pageA = QStringLiteral("http://a.test/one.htm");
const QString pageB = QStringLiteral("http://b.test/two.htm");
}  // namespace

TEST_F(NavigationTest, ToolbarActsOnTheVisibleViewAndTheMenuOnBrowser1)
{
    for (FakeBrowser *b : {&mainView(), &secondView()}) {
        b->load(pageA, QString());
        b->load(pageB, QString());
    }
    showSecondView();
    menu("back");       // Browser 1 goes back out of sight
    click("Picture2");  // the toolbar moves the view on screen
    EXPECT_EQ(mainView().locationUrl(), pageA);
    EXPECT_EQ(secondView().locationUrl(), pageA);
    menu("forward");
    EXPECT_EQ(mainView().locationUrl(), pageB);
    EXPECT_EQ(secondView().locationUrl(), pageA);
    click("Picture3");
    EXPECT_EQ(secondView().locationUrl(), pageB);

    click("Picture5");
    EXPECT_EQ(secondView().navigations().last(), QStringLiteral("http://home.test"));
    menu("home");
    EXPECT_EQ(mainView().navigations().last(), QStringLiteral(" http://home.test"));
    EXPECT_EQ(mainView().navigations().size() + secondView().navigations().size(), 6);
}

TEST_F(NavigationTest, StopHaltsTheVisibleViewTheCollectorAndTheCrawlerAndShowsBrowser1sTitle)
{
    mainView().load(pageA, QStringLiteral("<title>Page A</title>"));
    m_state.setHarvestRequested(true);
    for (int i = 1; i <= 4; ++i)
        m_host.fakeTransfer(i).execute(QStringLiteral("http://x.test/%1").arg(i), 100);
    showSecondView();
    m_state.setCaption(QStringLiteral("Browser 2"));
    click("Picture4");
    EXPECT_EQ(secondView().stopCount(), 1);
    EXPECT_EQ(mainView().stopCount(), 0);
    EXPECT_EQ(m_host.fakeBrowser(QStringLiteral("WebBrowser4")).stopCount(), 1);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(m_host.fakeTransfer(i).stillExecuting()) << i;
    EXPECT_FALSE(m_state.harvestRequested());
    EXPECT_EQ(m_state.caption(), QStringLiteral("Page A"));
}

// A page with slow images commits long before it has loaded: the address bar
// and panel 1 follow the commit, the caption, "Done" and the document hook wait
// for the load. With Browser 2 shown only the caption follows Browser 1; in the
// private zone neither the address bar nor the caption do.
TEST_F(NavigationTest, TheAddressBarAndPanelOneFollowTheCommitNotTheEndOfTheLoad)
{
    page(pageB, QStringLiteral("<title>B</title>"));
    const struct {
        const char *what;
        bool secondViewShown, privateZone, follows;
        const char *caption;  // once loaded
    } cases[] = {
        {"Browser 1 shown", false, false, true, "B"},
        {"Browser 2 shown", true, false, false, "B"},
        {"private zone", false, true, false, "A"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        mainView().setVisible(true);
        secondView().setVisible(false);
        m_state.setPrivateZone(false);
        mainView().load(pageA, QStringLiteral("<title>A</title>"));
        if (c.secondViewShown)
            showSecondView();
        m_state.setPrivateZone(c.privateZone);
        m_state.setPanelText(1, QString());

        mainView().navigate(pageB);
        ASSERT_TRUE(mainView().commitLoad());
        EXPECT_TRUE(mainView().busy());
        EXPECT_EQ(m_state.Combo2.text, c.follows ? pageB : pageA);
        EXPECT_EQ(m_state.panelText(1), c.follows ? QStringLiteral("Working...") : QString());
        EXPECT_EQ(m_state.caption(), QStringLiteral("A"));
        EXPECT_FALSE(m_state.mainViewEventsConnected());

        mainView().finishLoad();
        EXPECT_EQ(m_state.Combo2.text, c.follows ? pageB : pageA);
        EXPECT_EQ(m_state.panelText(1), QStringLiteral("Done"));
        EXPECT_EQ(m_state.caption(), QLatin1String(c.caption));
        EXPECT_EQ(m_state.mainViewEventsConnected(), !c.secondViewShown);
    }
}

TEST_F(NavigationTest, VisitedDomainsAreRecordedOncePerPageFramesIncludedAndByZone)
{
    for (const char *frame : {"l", "m", "r"})
        m_host.web().setPage(QStringLiteral("http://f.test/%1.htm").arg(QLatin1String(frame)), QStringLiteral("<p>"));
    int offered = 0;
    QObject::connect(&m_logic.navigation(), &Navigation::mainViewDocumentReady, [&] { ++offered; });
    mainView().load(QStringLiteral("http://f.test/"),
                    QStringLiteral("<frameset><frame src='l.htm'><frame src='m.htm'><frame src='r.htm'></frameset>"));
    EXPECT_EQ(offered, 4);
    EXPECT_EQ(m_state.domain2.items(), QStringList{"f.test"});

    m_state.setPrivateZone(true);
    mainView().load(QStringLiteral("http://p.test/"), QString());
    EXPECT_TRUE(m_state.domain.isEmpty());
    m_state.setKeepPrivateRecord(true);
    mainView().load(QStringLiteral("http://p.test/"), QString());
    mainView().load(QStringLiteral("http://p.test/x"), QString());
    EXPECT_EQ(m_state.domain.items(), QStringList{"p.test"});
    EXPECT_EQ(m_state.domain2.items(), QStringList{"f.test"});
}

TEST_F(NavigationTest, PanelThreeTogglesTheLinksListingAndHidesPrivateHistory)
{
    m_state.setVisible(QStringLiteral("domain"), true);
    m_logic.panelClick(3);
    EXPECT_TRUE(visible("listlinks") && visible("Command1"));
    EXPECT_FALSE(visible("domain"));
    m_logic.panelClick(3);
    EXPECT_FALSE(visible("listlinks") || visible("Command1"));
}

// The translation waits in the view not shown until the user switches.
TEST_F(NavigationTest, TranslationGoesToTheHiddenViewWithTheAddressEncoded)
{
    const QString service = QStringLiteral("http://tr.test:81/cgi-bin/translate?urltext=%1&lp=%2&doit=done");
    m_state.setComboText(m_state.Combo2, QStringLiteral("http://s.test/a?x=1&y=2#top"));
    menu("de_en");
    EXPECT_EQ(secondView().navigations(), QStringList{service.arg(
                                              QStringLiteral("http%3A%2F%2Fs.test%2Fa%3Fx%3D1%26y%3D2%23top"),
                                              QStringLiteral("de_en"))});
    showSecondView();
    m_state.setComboText(m_state.Combo2, QString());
    menu("en_fr");
    EXPECT_EQ(mainView().navigations(), QStringList{service.arg(QString(), QStringLiteral("en_fr"))});
    EXPECT_EQ(secondView().navigations().size(), 1);
}

TEST_F(NavigationTest, FileAndPageCommandsPickTheirViewsAndFilters)
{
    showSecondView();
    m_host.scripted().queueAnswer(QStringLiteral("file:/tmp/page.htm"));
    menu("open_file");
    menu("open_file");  // cancelled: opens nothing
    EXPECT_EQ(secondView().navigations(), QStringList{"/tmp/page.htm"});
    EXPECT_TRUE(mainView().navigations().isEmpty());
    m_state.setPrivateZone(true);
    menu("opcollect");
    EXPECT_EQ(recorded("open-file"), (QStringList{QLatin1String(MenuCommands::OpenFilter),
                                                  QLatin1String(MenuCommands::OpenFilter),
                                                  QStringLiteral("Private collection file (*.prv)|*.prv")}));

    for (const char *command : {"print", "pagesetup", "copy", "selectall", "save_file"})
        menu(command);
    using C = Browser::PageCommand;
    EXPECT_EQ(mainView().pageCommands(), (QList<C>{C::Print, C::PageSetup}));
    EXPECT_EQ(secondView().pageCommands(), (QList<C>{C::Copy, C::SelectAll, C::SaveAs}));

    // Help pages come from the home site into Browser 1.
    menu("about");
    EXPECT_EQ(mainView().navigations(), QStringList{"http://home.test/about.htm"});
}
