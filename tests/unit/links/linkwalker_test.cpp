// Stepping through the harvested links, the links list's mouse commands and
// the walk through the home site's pages.
#include "links/harvester.h"
#include "support/shellfixture.h"

using namespace quorvane;

namespace {
class LinkWalkerTest : public ShellTest {
protected:
    // Link i goes to http://<letter i>.test/, as a harvest files it.
    void harvest(const QStringList &texts)
    {
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QString address = QStringLiteral("http://%1.test/").arg(QChar(char16_t(u'a' + i)));
            m_state.List7.add(address);
            m_state.List3.add(Harvester::linkRow(address, texts.at(i)));
            m_state.listlinks.add(address);
        }
    }
    void press(const char *button) { m_logic.buttonUp(QString::fromLatin1(button), MouseButton::Left); }
    void next() { press("Picture27"); }
    void previous() { press("Picture26"); }
};
}  // namespace

TEST_F(LinkWalkerTest, StepsThroughTheHarvestInTheShownViewStopsAtBothEndsAndForgetsItWhenCleared)
{
    harvest({"Alpha", "Sun & <Rain>", "Gamma"});
    next();
    EXPECT_EQ(lastNavigation(mainView()), "http://b.test/");
    EXPECT_EQ(m_state.panelText(1), "--> Sun & <Rain>");  // the row's text, unescaped
    next();
    next();
    EXPECT_EQ(m_state.currentLinkIndex(), 2);
    EXPECT_EQ(lastNavigation(mainView()), "http://c.test/");
    EXPECT_EQ(m_state.panelText(1), "Page # End");
    previous();
    EXPECT_EQ(m_state.panelText(1), "Sun & <Rain> <-- ");
    previous();
    previous();
    EXPECT_EQ(m_state.currentLinkIndex(), 0);
    EXPECT_EQ(lastNavigation(mainView()), "http://a.test/");
    EXPECT_EQ(m_state.panelText(1), "Page # Start");
    EXPECT_EQ(mainView().navigations().size(), 6);
    EXPECT_TRUE(secondView().navigations().isEmpty());  // hidden

    showSecondView();
    next();
    EXPECT_EQ(lastNavigation(secondView()), "http://b.test/");

    press("Picture28");
    EXPECT_TRUE(m_state.List7.isEmpty());
    EXPECT_EQ(m_state.currentLinkIndex(), 0);
    next();
    previous();
    EXPECT_EQ(secondView().navigations().size(), 1);
}

TEST_F(LinkWalkerTest, AWalkLeftBeyondAShorterHarvestOrMissingRowsDoesNotFail)
{
    harvest({"Alpha", "Beta"});
    m_state.setCurrentLinkIndex(7);  // from an earlier, longer harvest
    next();
    EXPECT_EQ(m_state.currentLinkIndex(), 1);
    EXPECT_EQ(m_state.panelText(1), "Page # End");
    m_state.setCurrentLinkIndex(7);
    previous();
    EXPECT_EQ(m_state.currentLinkIndex(), 0);
    EXPECT_EQ(lastNavigation(mainView()), "http://a.test/");

    m_state.List3.clear();  // Clear All Links empties the rows, not the walk
    next();
    EXPECT_EQ(m_state.panelText(1), "--> http://b.test/");
    previous();
    EXPECT_EQ(m_state.panelText(1), "http://a.test/ <-- ");
}

TEST_F(LinkWalkerTest, RightClickOpensAndDoubleClickRemovesForGood)
{
    harvest({"A", "B", "C", "D", "E"});
    m_logic.listClick("listlinks", 1);
    m_logic.listMouseDown("listlinks", 1, MouseButton::Left);
    EXPECT_TRUE(mainView().navigations().isEmpty());
    m_logic.listMouseDown("listlinks", 1, MouseButton::Right);
    EXPECT_EQ(lastNavigation(mainView()), "http://b.test/");

    m_logic.listDoubleClick("listlinks", 2);
    EXPECT_EQ(m_state.listlinks.items(),
              (QStringList{"http://a.test/", "http://b.test/", "http://d.test/", "http://e.test/"}));
    EXPECT_EQ(m_state.listlinks2.items(), QStringList{"http://c.test/"});
    EXPECT_EQ(m_state.panelText(3), " Here live only 4 links ! ");
}

TEST_F(LinkWalkerTest, HomePagesShowOncePerCycleThenTheListIsFetchedAgainAndTheWalkRestarts)
{
    m_state.List5.setItems({"http://a/", "http://b/", "http://c/"});
    m_state.List6.setItems({"http://a/", "http://c/"});
    press("Picture24");
    EXPECT_EQ(lastNavigation(mainView()), "http://b/");
    EXPECT_EQ(m_state.List5.items(), QStringList{"http://c/"});
    EXPECT_EQ(m_state.List6.items(), (QStringList{"http://a/", "http://c/", "http://b/"}));

    press("Picture24");
    EXPECT_TRUE(m_state.List5.isEmpty());
    EXPECT_EQ(inet(10).executed(), QStringList{"http://home.test/list5.txt"});
    EXPECT_EQ(inet(10).lastMaxBytes(), 64000);
    inet(10).complete("http://a/\r\nhttp://b/\r\nhttp://c/\r\n");
    EXPECT_TRUE(m_state.List6.isEmpty() && m_state.List5.isEmpty());
    EXPECT_EQ(lastNavigation(mainView()), "http://home.test/");

    // The next cycle starts with the first page of the list.
    press("Picture24");
    inet(10).complete("http://a/\r\nhttp://b/\r\nhttp://c/\r\n");
    EXPECT_EQ(lastNavigation(mainView()), "http://a/");
    EXPECT_EQ(m_state.List5.items(), (QStringList{"http://b/", "http://c/"}));
    EXPECT_EQ(m_state.List6.items(), QStringList{"http://a/"});
}

TEST_F(LinkWalkerTest, HomePageListArrivingAtStartUpShowsTheFirstPageNotYetShown)
{
    m_state.List6.setItems({"", "http://a/"});  // a first run's empty entry
    inet(10).execute("http://home.test/list5.txt", 64000);  // as start-up does
    inet(10).complete("http://a/\r\nhttp://b/\r\nhttp://c/");  // C lacks its CR LF
    EXPECT_EQ(lastNavigation(mainView()), "http://b/");
    EXPECT_TRUE(m_state.List5.isEmpty());

    // A failed download leaves the walk as it was.
    press("Picture24");
    inet(10).fail();
    EXPECT_EQ(m_state.List6.items(), (QStringList{"", "http://a/", "http://b/"}));
}
