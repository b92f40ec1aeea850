#include "support/shellfixture.h"

#include "host/scriptedservices.h"
#include "shell/menucommands.h"
#include "shell/navigation.h"

using namespace quorvane;

namespace {
class NavigationTest : public ShellTest {};

const QString pageA = QStringLiteral("http://a.test/one.htm");
const QString pageB = QStringLiteral("http://b.test/two.htm");
}  // namespace

TEST_F(NavigationTest, ToolbarActsOnTheVisibleViewAndTheMenuOnBrowser1)
{
    for (FakeBrowser *b : {&mainView(), &secondView()}) {
        b->load(pageA, QStringLiteral("<title>A</title>"));
        b->load(pageB, QStringLiteral("<title>B</title>"));
    }
    showSecondView();
    menu("back");  // Browser 1 goes back out of sight
    EXPECT_EQ(mainView().locationUrl(), pageA);
    EXPECT_EQ(secondView().locationUrl(), pageB);
    click("Picture2");  // the toolbar moves the view on screen
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

TEST_F(NavigationTest, SwitchingViewsOnAnyButtonKeepsEachViewsPageAndRetitlesTheWindow)
{
    mainView().load(pageA, QStringLiteral("<title>A</title>"));
    m_logic.buttonDown(QStringLiteral("Picture23"), MouseButton::Right);
    m_logic.buttonUp(QStringLiteral("Picture23"), MouseButton::Right);
    EXPECT_TRUE(secondView().isVisible());
    EXPECT_FALSE(mainView().isVisible());
    EXPECT_EQ(m_state.caption(), QStringLiteral("Browser 2"));
    m_logic.buttonUp(QStringLiteral("Picture23"), MouseButton::Left);
    EXPECT_TRUE(mainView().isVisible());
    EXPECT_EQ(m_state.caption(), QStringLiteral("Browser 1"));
    EXPECT_EQ(mainView().navigations(), QStringList{pageA});
    EXPECT_TRUE(secondView().navigations().isEmpty());
}

TEST_F(NavigationTest, LoadsSetAddressBarCaptionAndStatusByZoneAndView)
{
    mainView().load(pageA, QStringLiteral("<title>A</title>"));
    EXPECT_EQ(m_state.Combo2.text, pageA);
    EXPECT_EQ(m_state.caption(), QStringLiteral("A"));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Done"));
    EXPECT_TRUE(m_state.mainViewEventsConnected());

    // While Browser 2 is shown the address bar stays, the caption follows, no document hook.
    showSecondView();
    mainView().navigate(pageB);
    EXPECT_FALSE(m_state.mainViewEventsConnected());
    mainView().finishLoad();
    EXPECT_EQ(m_state.Combo2.text, pageA);
    EXPECT_EQ(m_state.caption(), QString());  // the fake web has no page B: untitled
    EXPECT_FALSE(m_state.mainViewEventsConnected());

    // Private zone: neither address bar nor caption change; panel 1 still says Done.
    mainView().setVisible(true);
    m_state.setPrivateZone(true);
    m_state.setCaption(QStringLiteral("private"));
    m_state.setPanelText(1, QString());
    mainView().load(QStringLiteral("http://c.test/"), QStringLiteral("<title>C</title>"));
    EXPECT_EQ(m_state.Combo2.text, pageA);
    EXPECT_EQ(m_state.caption(), QStringLiteral("private"));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Done"));
}

TEST_F(NavigationTest, VisitedDomainsAreRecordedOncePerPageFramesIncludedAndByZone)
{
    m_host.web().setPage(QStringLiteral("http://f.test/l.htm"), QStringLiteral("<p>l"));
    m_host.web().setPage(QStringLiteral("http://f.test/m.htm"), QStringLiteral("<p>m"));
    m_host.web().setPage(QStringLiteral("http://f.test/r.htm"), QStringLiteral("<p>r"));
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
    EXPECT_TRUE(m_state.control(QStringLiteral("listlinks")).visible);
    EXPECT_TRUE(m_state.control(QStringLiteral("Command1")).visible);
    EXPECT_FALSE(m_state.control(QStringLiteral("domain")).visible);
    m_logic.panelClick(3);
    EXPECT_FALSE(m_state.control(QStringLiteral("listlinks")).visible);
    EXPECT_FALSE(m_state.control(QStringLiteral("Command1")).visible);
}

TEST_F(NavigationTest, TranslationGoesToTheHiddenViewWithTheAddressEncoded)
{
    m_state.setComboText(m_state.Combo2, QStringLiteral("http://s.test/a?x=1&y=2#top"));
    menu("de_en");
    ASSERT_EQ(secondView().navigations().size(), 1);
    EXPECT_EQ(secondView().navigations().first(),
              QStringLiteral("http://tr.test:81/cgi-bin/translate?urltext=http%3A%2F%2Fs.test%2Fa%3Fx%3D1%26y%3D2%23top"
                             "&lp=de_en&doit=done"));
    EXPECT_TRUE(mainView().navigations().isEmpty());

    const char *pairs[] = {"pt_en", "es_en", "it_en", "de_en", "fr_en", "en_es", "en_pt", "en_it", "en_de", "en_fr"};
    showSecondView();
    m_state.setComboText(m_state.Combo2, QString());
    for (const char *pair : pairs)
        menu(pair);
    ASSERT_EQ(mainView().navigations().size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(mainView().navigations().at(i), QStringLiteral("http://tr.test:81/cgi-bin/translate?urltext=&lp=%1&doit=done")
                                                 .arg(QLatin1String(pairs[i])));
    }
    EXPECT_EQ(secondView().navigations().size(), 1);
}

TEST_F(NavigationTest, FileAndPageCommandsPickTheirViewsAndFilters)
{
    ScriptedServices &services = m_host.scripted();
    showSecondView();
    services.queueAnswer(QStringLiteral("file:/tmp/page.htm"));
    menu("open_file");
    menu("open_file");  // cancelled: opens nothing
    EXPECT_EQ(secondView().navigations(), QStringList{"/tmp/page.htm"});
    EXPECT_TRUE(mainView().navigations().isEmpty());
    m_state.setPrivateZone(true);
    menu("opcollect");
    const QList<ScriptedServices::Record> records = services.takeRecords();
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records.at(0).text, QLatin1String(MenuCommands::OpenFilter));
    EXPECT_EQ(records.at(2).text, QStringLiteral("Private collection file (*.prv)|*.prv"));

    menu("print");
    menu("pagesetup");
    menu("copy");
    menu("selectall");
    menu("save_file");
    using C = Browser::PageCommand;
    EXPECT_EQ(mainView().pageCommands(), (QList<C>{C::Print, C::PageSetup}));
    EXPECT_EQ(secondView().pageCommands(), (QList<C>{C::Copy, C::SelectAll, C::SaveAs}));

    menu("about");
    menu("get_start");
    menu("hic");
    menu("special");
    EXPECT_EQ(mainView().navigations(), (QStringList{"http://home.test/about.htm", "http://home.test/gtst.htm",
                                               "http://home.test/how.htm", "http://home.test/customization.htm"}));
}
