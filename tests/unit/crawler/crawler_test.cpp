// The keyword fetcher, the page-queue reader and the finder commands on the
// fake host with a manual clock.
#include "crawler/crawler.h"
#include "crawler/foundpagefacts.h"
#include "support/crawlfixture.h"

using namespace quorvane;

namespace {
class CrawlerTest : public CrawlTest {
protected:
    // Adds the links, sets the keywords and runs the finder command.
    void search(const char *letters, const QStringList &words, const char *command = "readit")
    {
        links(letters);
        m_state.Combo1.list.setItems(words);
        menu(command);
    }
    bool timer(int t) { return m_host.fakeTimer(t).enabled(); }
    FakeBrowser &reader() { return m_host.fakeBrowser(BrowserId::PageReader); }
};
}  // namespace

TEST_F(CrawlerTest, FourSlotsReadTheLinksAndTheLastToFinishOffersTheReport)
{
    search("edcba", {"absent", "shoes"});
    for (int k = 1; k <= 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(inet(k).executed(), QStringList{url(char('a' + k - 1))});
        // The download stops at the size the search reads.
        EXPECT_EQ(inet(k).lastMaxBytes(), Crawler::PageReadSize);
        EXPECT_TRUE(timer(k + 3));
    }
    EXPECT_EQ(m_state.listlinks.items(), QStringList{url('e')});
    EXPECT_EQ(m_state.panelText(2), "Left - 1 pages to read");

    // Words are found in any case, in the first 32,000 characters only.
    inet(1).complete("<p>Red SHOES for sale</p>");  // slot 1 takes e
    inet(2).complete(QString(31995, QLatin1Char('x')) + "shoes");  // ends at 32,000
    inet(3).complete(QString(31996, QLatin1Char('x')) + "shoes");  // one character beyond
    inet(4).complete("nothing here");
    EXPECT_EQ(m_state.List1.items(), (QStringList{url('a'), url('b')}));
    EXPECT_TRUE(dialogs().isEmpty());  // slot 1 still reads

    inet(1).complete("shoes again");
    for (int t = 4; t <= 7; ++t)
        EXPECT_FALSE(timer(t)) << t;
    EXPECT_EQ(dialogs(), QStringList{"question:Found 3 links with Your Keywords. You may view report by click on "
                                     "'View Report' menu item."});
    // Answered No: the found pages are the links list now; the found list stays.
    EXPECT_EQ(m_state.listlinks.items(), (QStringList{url('a'), url('b'), url('e')}));
    EXPECT_EQ(m_state.List1.count(), 3);
    EXPECT_TRUE(reader().navigations().isEmpty());
    // Every slot writes its live row, slot 1 too; live_rows.sh checks the row's markup.
    EXPECT_EQ(mainView().written(), Crawler::liveRow(url('a')) + Crawler::liveRow(url('b')) + Crawler::liveRow(url('e')));
}

TEST_F(CrawlerTest, HangingAndFailingSlotsGiveUpTheirPageAndTakeTheNext)
{
    search("abcdefg", {"kw"});
    // A failure on any slot recovers at once with a fresh time-out.
    m_host.clock().advance(TimeOut - 1000);
    inet(3).fail();
    EXPECT_EQ(inet(3).executed().last(), url('e'));
    inet(1).complete("kw");
    inet(2).complete("kw");  // f, g
    inet(4).complete("no");
    m_host.clock().advance(1000);
    // Slot 3 still reads e: its time-out starts from the retry, not the first fetch.
    EXPECT_TRUE(inet(3).stillExecuting());
    m_host.clock().advance(TimeOut);  // every open fetch hangs: all time out
    EXPECT_EQ(inet(3).cancelCount(), 2);
    EXPECT_EQ(m_state.List1.items(), (QStringList{url('a'), url('b')}));
    EXPECT_TRUE(dialogs().value(0).startsWith("question:Found 2 links"));
}

TEST_F(CrawlerTest, StopHaltsTheSearchAndANewFindResumesTheUnreadLinks)
{
    search("abcdef", {"kw"});
    inet(1).complete("kw");  // takes e
    // The toolbar's Stop cancels the transfers before the crawler hears of it.
    click("Picture4");
    for (int k = 1; k <= 4; ++k) {
        EXPECT_FALSE(inet(k).stillExecuting()) << k;
        EXPECT_FALSE(timer(k + 3)) << k;
    }
    EXPECT_EQ(m_state.listlinks.items(), (QStringList{url('b'), url('c'), url('d'), url('e'), url('f')}));
    m_host.clock().advance(2 * TimeOut);
    EXPECT_TRUE(dialogs().isEmpty());
    menu("readit");
    EXPECT_EQ(inet(1).executed().last(), url('b'));
    EXPECT_EQ(m_state.listlinks.items(), QStringList{url('f')});
}

TEST_F(CrawlerTest, FindKeywordsWarnsWithoutLinksOrWordsAndAsksEvenWhenNothingWasFound)
{
    search("", {"kw"});
    EXPECT_EQ(dialogs(), QStringList{"message:You need get links before, click on 'Links Editor' menu and next click "
                                     "'Get Links'"});
    EXPECT_FALSE(m_state.keywordMode());
    EXPECT_EQ(m_state.focusRequestCount(), 0u);

    search("a", {});
    EXPECT_EQ(dialogs(), QStringList{"message:You need enter keywords first!!!"});
    EXPECT_TRUE(m_state.keywordMode());
    EXPECT_TRUE(inet(1).executed().isEmpty());
    // The user is sent to the keyword box.
    EXPECT_EQ(m_state.focusRequest(), "Combo1");
    EXPECT_EQ(m_state.focusRequestCount(), 1u);

    search("", {"kw"});
    inet(1).complete("none");
    EXPECT_TRUE(dialogs().value(0).startsWith("question:Found 0 links"));
    EXPECT_TRUE(m_state.listlinks.isEmpty());
}

TEST_F(CrawlerTest, EmailAndContactFindersUseTheirOwnWords)
{
    m_state.List1.add("http://old.test/");
    search("ab", {"mine", "yours"}, "findemail");
    EXPECT_FALSE(m_state.keywordMode());
    inet(1).complete("<a href='MAILTO:x@y.test'>");
    inet(2).complete("<a href='/contact'>");
    EXPECT_EQ(m_state.List1.items(), QStringList{url('a')});
    EXPECT_TRUE(mainView().written().isEmpty());  // no live rows outside the keyword search

    m_state.listlinks.clear();
    search("cd", {}, "findcontact");
    inet(1).complete("Write to our Mailbox");
    inet(2).complete("nothing");
    EXPECT_EQ(m_state.List1.items(), QStringList{url('c')});
}

TEST_F(CrawlerTest, PageQueueReaderLoadsOneAtATimeAndLosesOnlyATimedOutPage)
{
    m_state.List4.setItems({url('a'), url('b'), url('c')});
    m_state.setKeywordMode(true);
    menu("readnext");
    EXPECT_EQ(reader().navigations(), QStringList{url('a')});
    EXPECT_EQ(m_state.panelText(2), "Left -2pages to read");
    EXPECT_TRUE(timer(3));
    menu("readnext");  // busy: nothing changes, no address is dropped
    EXPECT_EQ(reader().navigations(), QStringList{url('a')});
    EXPECT_EQ(m_state.List4.count(), 2);

    m_host.clock().advance(TimeOut);
    EXPECT_EQ(reader().stopCount(), 1);
    EXPECT_EQ(reader().navigations(), (QStringList{url('a'), url('b')}));
    EXPECT_EQ(m_state.List4.items(), QStringList{url('c')});

    // Outside a keyword run a time-out reads nothing further, and says so.
    m_state.setKeywordMode(false);
    m_host.clock().advance(TimeOut);
    EXPECT_FALSE(timer(3) || reader().busy());
    EXPECT_EQ(m_state.List4.items(), QStringList{url('c')});
    EXPECT_EQ(m_state.panelText(1), Crawler::pageTimedOutText(url('b')));
    EXPECT_TRUE(m_state.panelText(1).contains("Read next"));

    // The last page timing out still prints the rows read so far.
    m_state.List3.setItems({"<tr><td>row</td></tr>"});
    for (const bool keywordMode : {false, true}) {
        SCOPED_TRACE(keywordMode);
        m_state.List4.setItems({url('c')});
        m_state.setKeywordMode(keywordMode);
        menu("readnext");
        m_host.clock().advance(TimeOut);
        EXPECT_EQ(mainView().written(), "<table border='0' width='100%' cellspacing='0' cellpadding='0'>"
                                        "<tr><td>row</td></tr></table>");
        EXPECT_FALSE(m_state.keywordMode());
    }
}

TEST_F(CrawlerTest, YesRunsTheFullReportOverTheFoundPages)
{
    page(url('a'), "<title>Shoe shop</title><body><p>shoes</p><img src='s.png'></body>");
    page(url('b'), "<title></title><body>none</body>");
    answer({"yes", "yes"});  // see the report, with images
    search("abc", {"shoes"});
    inet(1).complete("shoes");
    inet(2).complete("Shoes");
    inet(3).complete("boots");
    EXPECT_TRUE(m_state.listlinks.isEmpty());
    EXPECT_EQ(m_state.List4.items(), QStringList{url('b')});
    ASSERT_TRUE(reader().finishLoad());
    ASSERT_TRUE(reader().finishLoad());
    EXPECT_FALSE(timer(3) || m_state.keywordMode() || m_state.collectImages());
    EXPECT_EQ(mainView().written(),
              QStringLiteral("<table border='0' width='100%' cellspacing='0' cellpadding='0'>"
                             "<tr><td width='100%' bgcolor='#FFFF00'><strong><font face='Arial'><a href='%1'>Shoe shop"
                             "</a></font></strong></td></tr><tr><td><p>shoes</p></td></tr>"
                             "<tr><td width=100%> <img src='http://pages.test/s.png'></td></tr>"
                             "<tr><td width='100%' bgcolor='#FFFF00'><strong><font face='Arial'><a href='%2'>%2"
                             "</a></font></strong></td></tr></table>")
                  .arg(url('a'), url('b')));
}

TEST_F(CrawlerTest, LiveRowsCostTheMainViewOneParseOfEachRow)
{
    // A view that parsed everything written at each row would parse
    // rows * (rows + 1) / 2 rows' worth; one read after the search parses each once.
    const struct {
        int pages;
        int readsDuringSearch;  // documents read between rows, each parsing all written so far
    } cases[] = {{1, 0}, {300, 0}, {300, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pages << " pages, " << c.readsDuringSearch << " reads");
        mainView().closeDocument();
        const qint64 parsedBefore = mainView().writtenCharsParsed();
        QStringList urls;
        for (int i = 0; i < c.pages; ++i) {
            urls.append(QStringLiteral("http://rows.test/%1.htm").arg(i, 4, 10, QLatin1Char('0')));
            m_state.listlinks.add(urls.last());
        }
        m_state.Combo1.list.setItems({"kw"});
        menu("readit");
        qint64 parsedDuring = 0;
        for (int done = 0; done < c.pages; ++done) {
            // The alphabetically first slot still running finishes next.
            int k = 1;
            while (!inet(k).stillExecuting())
                ++k;
            inet(k).complete("kw");
            if (c.readsDuringSearch && done % (c.pages / c.readsDuringSearch) == 0) {
                ASSERT_NE(mainView().document(), nullptr);
                parsedDuring = mainView().writtenCharsParsed() - parsedBefore;
            }
        }
        const DocumentPtr doc = mainView().document();
        ASSERT_NE(doc, nullptr);
        ASSERT_EQ(doc->links.size(), c.pages);
        EXPECT_EQ(doc->links.first().href, urls.first());
        EXPECT_EQ(mainView().writtenCharsParsed() - parsedBefore - parsedDuring, mainView().written().size());
        EXPECT_LE(parsedDuring, qint64(c.readsDuringSearch) * mainView().written().size());
        dialogs();
        m_state.List1.clear();
        m_state.listlinks.clear();
    }
}

// A found page's facts are read off the window's thread; whoever looks at
// the provenance next sees them, in the order the pages were found, as if
// each had been read at once.
TEST_F(CrawlerTest, FoundPageFactsAreThereForTheNextReaderInTheOrderFound)
{
    const QString missing = QStringLiteral("<title>Page not found</title><p>kw</p><p>x");
    const QString contact = QStringLiteral("<p>kw <a href='mailto:Shop@pages.test'>mail</a></p>");
    const struct {
        const char *what;
        std::function<void()> between;  // after the found pages, before the look
        QStringList found;              // addresses in provenance order
        QStringList emails;
    } cases[] = {
        {"read at once", [] {}, {url('d'), url('b'), url('c')}, {"Shop@pages.test"}},
        {"a new e-mail search clears the last one's addresses",
         [this] {
             dialogs();
             m_state.listlinks.clear();  // the found pages, after the search
             m_state.listlinks.add(url('z'));
             menu("findemail");
             inet(1).complete("no address");
         },
         {url('d'), url('b'), url('c')}, {}},
        {"the private zone pauses what comes after",
         [this] {
             dialogs();
             m_state.listlinks.clear();
             m_state.setPrivateZone(true);
             search("y", {"kw"});
             inet(1).complete("kw");
             m_state.setPrivateZone(false);
         },
         {url('d'), url('b'), url('c')}, {"Shop@pages.test"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        m_state.provenance.clear();
        search("abcd", {"kw", "absent"});
        inet(4).complete("<p>kw</p>");  // d
        inet(2).complete(missing);      // b
        inet(1).complete("nothing");    // a
        inet(3).complete(contact);      // c
        c.between();
        QStringList found;
        for (const Provenance::FoundPage &page : m_state.provenance.foundPages())
            found.append(page.address);
        EXPECT_EQ(found, c.found) << qPrintable(found.join(u' '));
        QStringList emails;
        for (const Provenance::Email &email : m_state.provenance.emails())
            emails.append(email.address);
        EXPECT_EQ(emails, c.emails);
        const Provenance::FoundPage *b = m_state.provenance.foundPage(url('b'));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->words, QStringList{"kw"});
        EXPECT_EQ(b->paragraphs, 2);
        EXPECT_TRUE(b->clues.softNotFound);
        EXPECT_FALSE(m_state.provenance.foundPage(url('d'))->clues.softNotFound);
        dialogs();
        m_state.listlinks.clear();
        m_state.List1.clear();
    }
}

TEST(FoundPageFacts, ManyPagesAtOnceKeepTheirOrderAndNothingIsLost)
{
    // Pages large enough that some have to wait for the ones before; a
    // search holds the thread back until most of the limit has gathered.
    const QString filler(FoundPageFacts::MaxWaitingChars / 100, QLatin1Char('x'));
    const int pages = 307;
    const struct {
        const char *what;
        int releaseAt;  // the page before which the hold ends; -1: never held
    } cases[] = {{"never held", -1}, {"held throughout", pages}, {"released during", 120}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Provenance provenance;
        {
            FoundPageFacts facts(provenance);
            facts.setHeld(c.releaseAt >= 0);
            for (int i = 0; i < pages; ++i) {
                if (i == c.releaseAt)
                    facts.setHeld(false);
                const QString address = QStringLiteral("http://many.test/%1").arg(i);
                facts.add(address, {"kw"}, QStringLiteral("<p>kw <a href='mailto:a%1@many.test'>").arg(i) + filler);
            }
            ASSERT_EQ(provenance.foundPages().size(), pages);
            for (int i = 0; i < pages; ++i) {
                ASSERT_EQ(provenance.foundPages().at(i).address, QStringLiteral("http://many.test/%1").arg(i));
                ASSERT_EQ(provenance.emails().at(i).address, QStringLiteral("a%1@many.test").arg(i));
            }
            facts.add(QStringLiteral("http://many.test/last"), {"kw"}, QStringLiteral("kw"));
        }
        // Gone with its reader, the last page is in and the hook with it.
        EXPECT_EQ(provenance.foundPages().size(), pages + 1);
    }
}
