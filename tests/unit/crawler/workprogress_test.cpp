// The status bar's progress of a search, a report run and the image walk, and
// what Stop leaves in the panels, on the fake host.
#include "crawler/imagecollector.h"
#include "support/crawlfixture.h"

using namespace quorvane;
using Work = WorkProgress::Work;
using Phase = WorkProgress::Phase;

namespace {
class WorkProgressFlowTest : public CrawlTest {
protected:
    WorkProgressFlowTest() { m_state.progress.setClock([this] { return m_host.clock().now(); }); }
    const WorkProgress &progress() const { return m_state.progress; }
    void expectProgress(Work work, Phase phase, int done, int total, int found)
    {
        EXPECT_EQ(progress().work(), work);
        EXPECT_EQ(progress().phase(), phase);
        EXPECT_EQ(progress().done(), done);
        EXPECT_EQ(progress().total(), total);
        EXPECT_EQ(progress().found(), found);
    }
};
}  // namespace

TEST_F(WorkProgressFlowTest, FindersCountPagesAndFindsAndStopSaysTheSearchStopped)
{
    const struct {
        const char *command;
        Work work;
    } finders[] = {{"readit", Work::Keywords}, {"findemail", Work::Email}, {"findcontact", Work::Contact}};
    for (const auto &f : finders) {
        SCOPED_TRACE(f.command);
        m_state.listlinks.clear();
        m_state.List1.clear();
        links("abcdef");
        m_state.Combo1.list.setItems({"mailto:"});
        answer({"no"});  // no resume of the search stopped before
        menu(f.command);
        expectProgress(f.work, Phase::Running, 0, 6, 0);
        m_host.clock().advance(2000);
        inet(1).complete("<a href='mailto:x@y.test'>contact</a>");  // takes e
        inet(2).fail();                                              // takes f
        m_host.clock().advance(TimeOut - 2000);                    // slots 3, 4 time out
        expectProgress(f.work, Phase::Running, 4, 6, 1);
        EXPECT_EQ(m_state.panelText(2), "Left - 0 pages to read");
        click("Picture4");
        // The links being read go back; the bar and panel 2 say where it stopped.
        expectProgress(f.work, Phase::Stopped, 4, 6, 1);
        EXPECT_EQ(m_state.panelText(2), "Search stopped - 2 pages left");
        const qint64 elapsed = progress().elapsedMs();
        EXPECT_EQ(elapsed, TimeOut);
        m_host.clock().advance(5000);
        EXPECT_EQ(progress().elapsedMs(), elapsed);
        click("Picture4");  // a second Stop changes nothing
        EXPECT_EQ(m_state.panelText(2), "Search stopped - 2 pages left");
    }
}

TEST_F(WorkProgressFlowTest, ReportRunWaitsAfterATimeOutStopsAndEndsFinished)
{
    FakeBrowser &reader = m_host.fakeBrowser(BrowserId::PageReader);
    page(url('a'), "<title>A</title><body><p>one</p></body>");
    page(url('c'), "<title>C</title><body><p>three</p></body>");
    links("abcd");
    answer({"no"});
    menu("viewreport");
    expectProgress(Work::Report, Phase::Running, 0, 4, 0);
    EXPECT_TRUE(reader.finishLoad());
    EXPECT_EQ(progress().done(), 1);
    EXPECT_GT(progress().found(), 0);  // the report rows of a
    m_host.clock().advance(TimeOut);   // b never answers: the run rests for Read next
    expectProgress(Work::Report, Phase::Waiting, 2, 4, m_state.List3.count());
    menu("readnext");
    EXPECT_EQ(progress().phase(), Phase::Running);
    click("ProgressStop");  // the Stop beside the bar is the toolbar's
    EXPECT_EQ(progress().phase(), Phase::Stopped);
    EXPECT_EQ(m_state.panelText(2), "Report stopped - 2 pages left");
    m_host.clock().advance(2 * TimeOut);
    EXPECT_EQ(reader.navigations(), (QStringList{url('a'), url('b'), url('c')}));
    answer({"yes"});
    menu("readnext");  // goes on with c, the page it was loading
    EXPECT_EQ(recorded("question").last(), "Go on with the 2 pages left of the interrupted report?");
    EXPECT_EQ(lastNavigation(reader), url('c'));
    EXPECT_EQ(progress().phase(), Phase::Running);
    EXPECT_TRUE(reader.finishLoad());
    m_host.clock().advance(TimeOut);  // d, the last, times out: the report is shown
    expectProgress(Work::Report, Phase::Finished, 4, 4, m_state.List3.count());
}

TEST_F(WorkProgressFlowTest, ImageWalkCountsPagesAndPicturesAndStopSaysWhatIsLeft)
{
    FakeBrowser &walker = m_host.fakeBrowser(BrowserId::ImageReader);
    page("http://w.test/a.htm", "<body><img src='1.png'><img src='2.png'></body>");
    mainView().load("http://w.test/", "<body><a href='a.htm'>a</a><a href='b.htm'>b</a><a href='c.htm'>c</a></body>");
    click("Picture15");
    expectProgress(Work::ImageWalk, Phase::Running, 0, 3, 0);
    EXPECT_TRUE(walker.finishLoad());
    expectProgress(Work::ImageWalk, Phase::Running, 1, 3, 2);
    click("Picture4");
    EXPECT_EQ(progress().phase(), Phase::Stopped);
    EXPECT_EQ(m_state.panelText(2), "Image walk stopped - 1 links left");

    click("Picture15");
    m_host.clock().advance(TimeOut);
    while (walker.finishLoad()) {
    }
    m_host.clock().advance(TimeOut);
    EXPECT_EQ(progress().phase(), Phase::Finished);
    EXPECT_EQ(progress().done(), progress().total());
}
