// The keyword fetcher's manners on the fake host with a manual clock: its
// user agent, requests at a time and pauses per site, pages put back after
// a 429 or 503, and robots.txt.
#include "crawler/crawler.h"
#include "support/crawlfixture.h"

using namespace quorvane;

namespace {
class PoliteCrawlerTest : public CrawlTest {
protected:
    void polite(const Politeness &politeness) { m_logic.crawler().setPoliteness(politeness); }
    void search(const QStringList &links)
    {
        m_state.listlinks.clear();
        for (const QString &link : links)
            m_state.listlinks.add(link);
        m_state.Combo1.list.setItems({QStringLiteral("kw")});
        menu("readit");
    }
    // The slot reading address, or 0.
    int slotOf(const QString &address)
    {
        for (int k = 1; k <= 4; ++k) {
            if (inet(k).stillExecuting() && inet(k).url() == address)
                return k;
        }
        return 0;
    }
    int running()
    {
        int n = 0;
        for (int k = 1; k <= 4; ++k)
            n += inet(k).stillExecuting() ? 1 : 0;
        return n;
    }
    void answer(const QString &address, const FakeResponse &response)
    {
        const int k = slotOf(address);
        ASSERT_GT(k, 0) << address.toStdString();
        inet(k).respond(response);
    }
    QString reportQuestion() { return dialogs().join(u'|'); }
};

const QString A1 = QStringLiteral("http://a.test/1.htm");
const QString A2 = QStringLiteral("http://a.test/2.htm");
const QString A3 = QStringLiteral("http://a.test/3.htm");
const QString B1 = QStringLiteral("http://b.test/1.htm");
}  // namespace

TEST_F(PoliteCrawlerTest, EveryTransferNamesTheProgramItsVersionAndTheHomeSite)
{
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(inet(k).userAgent(), QStringLiteral("Quorvane/0.1 (+http://home.test/)")) << k;
}

TEST_F(PoliteCrawlerTest, OneSiteGetsNoMoreThanItsShareAndItsPause)
{
    Politeness politeness;
    politeness.perHostLimit = 1;
    politeness.hostDelayMs = 1000;
    polite(politeness);
    search({A1, A2, A3, B1});
    EXPECT_GT(slotOf(A1), 0);
    EXPECT_GT(slotOf(B1), 0);
    EXPECT_EQ(running(), 2);
    EXPECT_EQ(m_state.listlinks.items(), (QStringList{A2, A3}));

    answer(A1, {200, QStringLiteral("none"), {}, {}, {}});
    // The site rests for the pause before its next page.
    m_host.clock().advance(900);
    EXPECT_EQ(slotOf(A2), 0);
    m_host.clock().advance(100);
    EXPECT_GT(slotOf(A2), 0);
    answer(B1, {200, QStringLiteral("kw"), {}, {}, {}});
    answer(A2, {200, QStringLiteral("kw"), {}, {}, {}});
    m_host.clock().advance(1000);
    answer(A3, {200, QStringLiteral("none"), {}, {}, {}});
    EXPECT_TRUE(reportQuestion().contains(QStringLiteral("Found 2 links")));
    EXPECT_FALSE(m_host.fakeTimer(8).enabled());
}

// A page a busy site refused comes back after the wait it names, capped,
// once; the other slots go on meanwhile.
TEST_F(PoliteCrawlerTest, PagesRefusedWithRetryAfterAreReadAgainOnce)
{
    const struct {
        const char *what;
        int status;
        QByteArray retryAfter;
        int cap;
        int readAgainAfterMs;  // -1: dropped at once
    } cases[] = {
        {"429 with seconds", 429, "5", 120, 5000},
        {"503 with seconds", 503, "2", 120, 2000},
        {"capped", 429, "99999", 3, 3000},
        {"zero", 429, "0", 120, 0},
        {"no Retry-After", 429, {}, 120, -1},
        {"unparsable", 503, "later", 120, -1},
        {"other status", 500, "5", 120, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Politeness politeness;
        politeness.retryAfterCapSeconds = c.cap;
        polite(politeness);
        search({A1, B1});
        QList<HttpHeaders::Field> headers;
        if (!c.retryAfter.isEmpty())
            headers.append({"Retry-After", c.retryAfter});
        answer(A1, {c.status, {}, headers, {}, {}});
        EXPECT_EQ(slotOf(A1) > 0, c.readAgainAfterMs == 0);
        answer(B1, {200, QStringLiteral("kw"), {}, {}, {}});
        if (c.readAgainAfterMs < 0) {
            EXPECT_TRUE(reportQuestion().contains(QStringLiteral("Found 1 links")));
            m_state.List1.clear();
            continue;
        }
        EXPECT_TRUE(dialogs().isEmpty());  // the search waits for the page
        if (c.readAgainAfterMs > 0) {
            m_host.clock().advance(c.readAgainAfterMs - Crawler::TickMs);
            EXPECT_EQ(slotOf(A1), 0);
            m_host.clock().advance(Crawler::TickMs);
        }
        ASSERT_GT(slotOf(A1), 0);
        // A second refusal drops it like any failed page.
        answer(A1, {c.status, {}, headers, {}, {}});
        EXPECT_TRUE(reportQuestion().contains(QStringLiteral("Found 1 links")));
        m_state.List1.clear();
    }
}

TEST_F(PoliteCrawlerTest, StopPutsPagesWaitingForTheirRetryBackIntoTheLinks)
{
    search({A1});
    answer(A1, {429, {}, {{"Retry-After", "60"}}, {}, {}});
    m_logic.crawler().stopSearch();
    EXPECT_EQ(m_state.listlinks.items(), QStringList{A1});
    EXPECT_FALSE(m_host.fakeTimer(8).enabled());
}

TEST_F(PoliteCrawlerTest, RobotsFilesAreReadFirstAndObeyed)
{
    const QString privatePage = QStringLiteral("http://a.test/private/x.htm");
    const QString publicPage = QStringLiteral("http://a.test/public/y.htm");
    const struct {
        const char *what;
        FakeResponse robots;
        bool privateRead;
        bool publicRead;
    } cases[] = {
        {"rules for us", {200, "User-agent: quorvane\nDisallow: /private\n", {}, {}, {}}, false, true},
        {"rules for others", {200, "User-agent: other\nDisallow: /\n", {}, {}, {}}, true, true},
        {"no robots file", {404, {}, {}, {}, {}}, true, true},
        {"server error", {503, {}, {}, {}, {}}, false, false},
        {"unreachable", {0, {}, {}, {}, {}}, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Politeness politeness;
        politeness.obeyRobots = true;
        polite(politeness);
        search({privatePage, publicPage});
        // Only the robots file goes out before the site's rules are known.
        ASSERT_EQ(running(), 1);
        ASSERT_GT(slotOf(QStringLiteral("http://a.test:80/robots.txt")), 0);
        answer(QStringLiteral("http://a.test:80/robots.txt"), c.robots);
        EXPECT_EQ(slotOf(privatePage) > 0, c.privateRead);
        EXPECT_EQ(slotOf(publicPage) > 0, c.publicRead);
        const int skipped = int(!c.privateRead) + int(!c.publicRead);
        EXPECT_EQ(m_state.panelText(6), skipped ? QStringLiteral("Robots.txt - %1 pages skipped").arg(skipped) : QString());
        for (const QString &page : {privatePage, publicPage}) {
            if (slotOf(page))
                answer(page, {200, QStringLiteral("kw"), {}, {}, {}});
        }
        EXPECT_TRUE(reportQuestion().contains(QStringLiteral("Found %1 links").arg(2 - skipped)));
        m_state.List1.clear();
        m_state.setPanelText(6, QString());
    }
}

TEST_F(PoliteCrawlerTest, ARobotsFileThatNeverComesKeepsTheSiteOut)
{
    Politeness politeness;
    politeness.obeyRobots = true;
    polite(politeness);
    search({A1, B1});
    EXPECT_EQ(running(), 2);  // one robots file per site
    answer(QStringLiteral("http://b.test:80/robots.txt"), {404, {}, {}, {}, {}});
    answer(B1, {200, QStringLiteral("kw"), {}, {}, {}});
    m_host.clock().advance(TimeOut);
    EXPECT_EQ(slotOf(A1), 0);
    EXPECT_TRUE(reportQuestion().contains(QStringLiteral("Found 1 links")));
}
