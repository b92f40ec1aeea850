#include "fakefetcher.h"

#include "partners/browserrenderedlinks.h"
#include "partners/partnerchecker.h"
#include "partners/verdict.h"

#include "support/fakehost.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace quorvane {
namespace {

const QString Linked = QStringLiteral("<a href='http://mysite.example/'>My site</a>");
const QString OnePage = QStringLiteral("http://a.example/p");

class PartnerCheckerTest : public ::testing::Test {
protected:
    PartnerCheckerTest() : m_wake(QStringLiteral("partners"), m_clock), m_checker(m_fetcher, m_wake, [this] { return m_clock.now(); })
    {
        QString error;
        m_checker.setSites({*parseOwnSite(QStringLiteral("mysite.example"), &error)});
        QObject::connect(&m_checker, &PartnerChecker::checked, [this](const Partner &p, const CheckRecord &r) {
            m_records[p.page] = r;
            m_order.append(p.page);
        });
        QObject::connect(&m_checker, &PartnerChecker::runFinished, [this](bool cancelled) {
            ++m_runsFinished;
            m_cancelled = cancelled;
        });
    }

    void start(const QStringList &pages)
    {
        QList<Partner> partners;
        for (const QString &page : pages) {
            Partner p;
            p.page = page;
            partners.append(p);
        }
        m_checker.start(partners);
    }
    // Answers the robots.txt of page's origin with 404 (no rules).
    void noRobots(const QString &origin) { ASSERT_TRUE(m_fetcher.answer(origin + "/robots.txt", FakeFetcher::page(404))); }
    Verdict verdictOf(const QString &page) { return deriveVerdict(m_records.at(page)); }

    ManualClock m_clock;
    FakeTimer m_wake;
    FakeFetcher m_fetcher;
    PartnerChecker m_checker;
    std::map<QString, CheckRecord> m_records;
    QStringList m_order;
    int m_runsFinished = 0;
    bool m_cancelled = false;
};

// Four at a time, never two requests to one host at once, robots.txt first
// and once per origin.
TEST_F(PartnerCheckerTest, FourAtATimeOnePerHost)
{
    start({"http://a.example/1", "http://a.example/2", "http://b.example/1", "http://c.example/1", "http://d.example/1",
           "http://e.example/1"});
    EXPECT_EQ(m_fetcher.pendingUrls(),
              (QStringList{"http://a.example:80/robots.txt", "http://b.example:80/robots.txt",
                           "http://c.example:80/robots.txt", "http://d.example:80/robots.txt"}));
    // e waits for a free transfer, which a reply brings: the wake is for the
    // time-outs only, not a poll.
    EXPECT_TRUE(m_wake.enabled());
    EXPECT_EQ(m_wake.interval(), PartnerChecker::Options().timeoutMs);
    noRobots("http://a.example:80");
    // a's page goes before e's robots, and a's second page waits for its first.
    EXPECT_TRUE(m_fetcher.pendingUrls().contains("http://a.example/1"));
    EXPECT_FALSE(m_fetcher.pendingUrls().contains("http://a.example/2"));
    ASSERT_TRUE(m_fetcher.answer("http://a.example/1", FakeFetcher::page(200, Linked)));
    EXPECT_TRUE(m_fetcher.pendingUrls().contains("http://a.example/2"));
    ASSERT_TRUE(m_fetcher.answer("http://a.example/2", FakeFetcher::page(200, Linked)));
    EXPECT_EQ(m_fetcher.started().count("http://a.example:80/robots.txt"), 1);
    for (const char *host : {"b", "c", "d", "e"}) {
        const QString origin = QStringLiteral("http://%1.example:80").arg(QLatin1String(host));
        noRobots(origin);
        ASSERT_TRUE(m_fetcher.answer(QStringLiteral("http://%1.example/1").arg(QLatin1String(host)), FakeFetcher::page(200, Linked)));
    }
    EXPECT_EQ(m_order.size(), 6);
    EXPECT_EQ(m_runsFinished, 1);
    EXPECT_FALSE(m_cancelled);
    EXPECT_EQ(verdictOf("http://e.example/1"), Verdict::Live);
}

// Transient failures are asked again after a doubling back-off, a page that
// never answers too once its time-out cancels it; a 429's Retry-After is
// obeyed unless it is past the limit; the partner is unreachable only past the
// last try, and a passing failure is no alarm.
TEST_F(PartnerCheckerTest, RetriesWithBackOff)
{
    struct Step {
        std::optional<FetchReply> reply;  // none: the time-out passes
        qint64 waitBefore;                // ms until the next try, or -1 for the end
    };
    const struct {
        const char *what;
        std::vector<Step> steps;
        Verdict verdict;
        int attempts;
        int httpStatus;
        const char *error;  // in the record's error
    } cases[] = {
        {"doubling, then Retry-After, then the last try",
         {{FakeFetcher::page(503), 2000},
          {FakeFetcher::failure(), 4000},
          {FakeFetcher::page(429, {}, {{"Retry-After", "7"}}), 7000},
          {FakeFetcher::page(500), -1}},
         Verdict::Unreachable, 4, 500, ""},
        {"a passing failure", {{FakeFetcher::page(503, {}, {{"Retry-After", "1"}}), 1000}, {FakeFetcher::page(200, Linked), -1}},
         Verdict::Live, 2, 200, ""},
        {"Retry-After past the limit", {{FakeFetcher::page(429, {}, {{"Retry-After", "86400"}}), -1}},
         Verdict::Unreachable, 1, 429, "Retry-After"},
        {"no answer", {{std::nullopt, 2000}, {FakeFetcher::page(200, Linked), -1}}, Verdict::Live, 2, 200, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        m_order.clear();
        start({OnePage});
        noRobots("http://a.example:80");
        for (const Step &step : c.steps) {
            if (step.reply) {
                ASSERT_TRUE(m_fetcher.answer(OnePage, *step.reply));
            } else {
                const int cancelled = m_fetcher.cancelled();
                m_clock.advance(PartnerChecker::Options().timeoutMs);
                EXPECT_EQ(m_fetcher.cancelled(), cancelled + 1);
            }
            if (step.waitBefore < 0)
                break;
            m_clock.advance(step.waitBefore - 1);
            EXPECT_FALSE(m_fetcher.pendingUrls().contains(OnePage)) << "asked again too early";
            m_clock.advance(1);
            ASSERT_TRUE(m_fetcher.pendingUrls().contains(OnePage)) << "not asked again";
        }
        ASSERT_EQ(m_order.size(), 1);
        const CheckRecord &record = m_records.at(OnePage);
        EXPECT_EQ(deriveVerdict(record), c.verdict);
        EXPECT_EQ(record.attempts, c.attempts);
        EXPECT_EQ(record.httpStatus, c.httpStatus);
        EXPECT_TRUE(record.error.contains(QLatin1String(c.error))) << record.error.toStdString();
    }
}

// robots.txt of the "*" group; a robots file that fails is no block.
TEST_F(PartnerCheckerTest, RobotsTxt)
{
    start({"http://a.example/private/p", "http://a.example/open/p", "http://b.example/p"});
    ASSERT_TRUE(m_fetcher.answer("http://a.example:80/robots.txt",
                                 FakeFetcher::page(200, "User-agent: *\nDisallow: /private/\n")));
    ASSERT_TRUE(m_fetcher.answer("http://b.example:80/robots.txt", FakeFetcher::page(503)));
    ASSERT_TRUE(m_fetcher.answer("http://a.example/private/p", FakeFetcher::page(200, Linked)));
    ASSERT_TRUE(m_fetcher.answer("http://a.example/open/p", FakeFetcher::page(200, Linked)));
    ASSERT_TRUE(m_fetcher.answer("http://b.example/p", FakeFetcher::page(200, Linked)));
    EXPECT_EQ(verdictOf("http://a.example/private/p"), Verdict::Blocked);
    EXPECT_EQ(verdictOf("http://a.example/open/p"), Verdict::Live);
    EXPECT_EQ(verdictOf("http://b.example/p"), Verdict::Live);
}

TEST_F(PartnerCheckerTest, CancelStopsEverything)
{
    start({"http://a.example/1", "http://b.example/1"});
    m_checker.cancel();
    EXPECT_EQ(m_fetcher.cancelled(), 2);
    EXPECT_TRUE(m_fetcher.pendingUrls().isEmpty());
    EXPECT_TRUE(m_cancelled);
    m_clock.advance(60000);
    EXPECT_TRUE(m_fetcher.pendingUrls().isEmpty());
    EXPECT_TRUE(m_order.isEmpty());
}

// With a rendering reader, a link that only script inserts is told apart
// from a missing one.
class FakeRendered final : public RenderedLinks {
public:
    void read(const QString &url, Done done) override
    {
        m_url = url;
        m_done = std::move(done);
    }
    void cancel() override { m_done = {}; }
    void finish(const QStringList &hrefs)
    {
        const Done done = std::move(m_done);
        done(true, hrefs);
    }
    QString m_url;
    Done m_done;
};

TEST_F(PartnerCheckerTest, ScriptOnlyLink)
{
    FakeRendered rendered;
    m_checker.setRenderedLinks(&rendered);
    start({"http://a.example/script", "http://b.example/none"});
    noRobots("http://a.example:80");
    noRobots("http://b.example:80");
    ASSERT_TRUE(m_fetcher.answer("http://a.example/script", FakeFetcher::page(200, "<script>document.write('x')</script>")));
    ASSERT_TRUE(m_fetcher.answer("http://b.example/none", FakeFetcher::page(200, "<p>nothing</p>")));
    EXPECT_EQ(rendered.m_url, "http://a.example/script");
    rendered.finish({"http://www.mysite.example/"});
    EXPECT_EQ(rendered.m_url, "http://b.example/none");
    rendered.finish({"http://other.example/"});
    EXPECT_EQ(verdictOf("http://a.example/script"), Verdict::ScriptOnly);
    EXPECT_EQ(verdictOf("http://b.example/none"), Verdict::Missing);
    EXPECT_EQ(m_runsFinished, 1);
}

// The web-engine reader's side: the links of the rendered document and its
// frames, or not loaded when the page never completes.
TEST(BrowserRenderedLinksTest, ReadsTheRenderedDocument)
{
    FakeHost host;
    host.web().setPage("http://a.example/", "<a href='http://mysite.example/'>x</a><iframe src='http://a.example/f'></iframe>");
    host.web().setPage("http://a.example/f", "<a href='http://framed.example/'>y</a>");
    FakeBrowser &browser = host.fakeBrowser(BrowserId::PageReader);
    FakeTimer timeout("render", host.clock());
    BrowserRenderedLinks rendered(browser, timeout);

    struct Outcome {
        bool called = false;
        bool loaded = false;
        QStringList hrefs;
    } outcome;
    auto done = [&outcome](bool loaded, const QStringList &hrefs) { outcome = {true, loaded, hrefs}; };

    rendered.read("http://a.example/", done);
    EXPECT_FALSE(outcome.called);
    ASSERT_TRUE(browser.finishLoad());
    EXPECT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.hrefs, (QStringList{"http://mysite.example/", "http://framed.example/"}));

    outcome = {};
    rendered.read("http://a.example/never", done);
    host.clock().advance(BrowserRenderedLinks::TimeoutMs);
    EXPECT_TRUE(outcome.called);
    EXPECT_FALSE(outcome.loaded);
    // A late completion after the time-out reports nothing twice.
    outcome = {};
    browser.finishLoad();
    EXPECT_FALSE(outcome.called);
}

// Findings that come back later (a parse on another thread): the run waits
// for them, and those of a cancelled run are dropped.
TEST_F(PartnerCheckerTest, FindingsThatComeBackLater)
{
    std::vector<std::pair<std::function<CheckRecord()>, std::function<void(CheckRecord)>>> parked;
    m_checker.setOffload([&parked](std::function<CheckRecord()> work, std::function<void(CheckRecord)> done) {
        parked.emplace_back(std::move(work), std::move(done));
    });
    start({"http://a.example/1", "http://b.example/1"});
    noRobots("http://a.example:80");
    noRobots("http://b.example:80");
    ASSERT_TRUE(m_fetcher.answer("http://a.example/1", FakeFetcher::page(200, Linked)));
    ASSERT_TRUE(m_fetcher.answer("http://b.example/1", FakeFetcher::page(200, "<p>none</p>")));
    ASSERT_EQ(parked.size(), 2u);
    EXPECT_EQ(m_runsFinished, 0);
    parked[1].second(parked[1].first());
    EXPECT_EQ(m_order, QStringList{"http://b.example/1"});
    EXPECT_EQ(m_runsFinished, 0) << "finished with a page still being read";
    parked[0].second(parked[0].first());
    EXPECT_EQ(m_runsFinished, 1);
    EXPECT_EQ(verdictOf("http://a.example/1"), Verdict::Live);
    EXPECT_EQ(verdictOf("http://b.example/1"), Verdict::Missing);

    parked.clear();
    start({"http://a.example/2"});
    noRobots("http://a.example:80");  // read again: each run takes robots.txt afresh
    ASSERT_TRUE(m_fetcher.answer("http://a.example/2", FakeFetcher::page(200, Linked)));
    ASSERT_EQ(parked.size(), 1u);
    m_checker.cancel();
    parked[0].second(parked[0].first());
    EXPECT_EQ(m_order.size(), 2) << "a cancelled run's findings were kept";
}

}  // namespace
}  // namespace quorvane
