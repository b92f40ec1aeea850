#include "statelog.h"

#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "testserver/loopbackserver.h"

#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace quorvane {
namespace {

constexpr int Enough = 1 << 20;
constexpr char Page[] = "<html><head><title>Hi</title></head><body>Hello from Quorvane</body></html>";

// Peak resident memory of this process in KiB.
long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

LoopbackServer::Options serverOptions()
{
    LoopbackServer::Options options;
    options.pages = {{"/page.html", [] { return std::string(Page); }}};
    // Connections end after a few requests, so that clients meet closed and reused ones.
    options.requestsPerConnection = 5;
    return options;
}

struct Fetched {
    TransferState state{};
    QString text;
    QUrl finalUrl;
};

class CurlTransferTest : public ::testing::Test {
protected:
    QString url(const std::string &path) const { return QString::fromStdString(m_server.url(path)); }

    // One GET on a fresh transfer, checking the signal contract on the way: one
    // signal, after execute() returned, carrying the address as given.
    Fetched fetch(const QString &address, int maxBytes = Enough, int stallSeconds = CurlTransfer::DefaultStallSeconds)
    {
        CurlTransfer transfer(QStringLiteral("Inet1"), *m_multi);
        transfer.setStallSeconds(stallSeconds);
        StateLog log(transfer);
        transfer.execute(address, maxBytes);
        EXPECT_TRUE(log.states.empty()) << "signalled inside execute()";
        const TransferState state = log.wait();
        spin(20);
        EXPECT_EQ(log.urls, std::vector<QString>{address});
        EXPECT_EQ(log.executingInSignal, std::vector<bool>{false});
        EXPECT_EQ(transfer.url(), address);
        return {state, transfer.readData(INT_MAX), transfer.finalUrl()};
    }

    // Declared before the multi so that the client closes its connections first and
    // the server does not wait for them on shutdown.
    LoopbackServer m_server{serverOptions()};
    std::unique_ptr<CurlMulti> m_multi = std::make_unique<CurlMulti>();
};

TEST_F(CurlTransferTest, CompletesWithTheTextOfTheLastHop)
{
    const struct {
        const char *what;
        std::string path;
        int maxBytes;
        QString text;
        std::string finalPath;  // empty: path
    } cases[] = {
        {"redirected", "/fault/redirect?to=/page.html", Enough, QString::fromUtf8(Page), "/page.html"},
        {"longest chain", "/fault/chain?n=20", Enough, QStringLiteral("end of chain"), "/fault/chain?n=0"},
        {"capped by a range", "/fault/bytes?n=5000", 100, "<html><body>" + QString(88, u'a'), {}},
        {"nothing wanted", "/fault/bytes?n=5000", 0, {}, {}},
        {"range on an empty resource", "/fault/416", 32000, {}, {}},
        {"a 2 GB body, capped", "/fault/huge", 8 << 20, QString(8 << 20, u'x'), {}},
        {"served windows-1251", "/fault/charset?cs=windows-1251&hex=cff0e8e2e5f2", Enough, QStringLiteral("Привет"), {}},
    };
    const long peakBefore = peakMemoryKb();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Fetched fetched = fetch(url(c.path), c.maxBytes);
        EXPECT_EQ(fetched.state, TransferState::Complete);
        EXPECT_EQ(fetched.text, c.text);
        EXPECT_EQ(fetched.finalUrl, QUrl(url(c.finalPath.empty() ? c.path : c.finalPath)));
    }
    // Only the first 8 MB of the huge body may ever be held.
    EXPECT_LT(peakMemoryKb() - peakBefore, 200 * 1024);
}

// A short read asks for its range only, so the server can end the response there
// and keep the connection; ranged bytes could not be decompressed.
TEST_F(CurlTransferTest, AsksForARangeOnlyOnShortReads)
{
    const struct {
        int maxBytes;
        bool ranged;
    } cases[] = {{CurlTransfer::MaxRangedBytes, true}, {CurlTransfer::MaxRangedBytes + 1, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.maxBytes);
        const Fetched headers = fetch(url("/fault/headers"), c.maxBytes);
        const std::string shown = headers.text.toStdString();
        ASSERT_EQ(headers.state, TransferState::Complete);
        EXPECT_TRUE(headers.text.contains(QStringLiteral("User-Agent: Quorvane/0.1"))) << shown;
        EXPECT_EQ(headers.text.contains(QStringLiteral("Range: bytes=0-%1\n").arg(c.maxBytes - 1)), c.ranged) << shown;
        EXPECT_EQ(headers.text.contains(QStringLiteral("gzip")), !c.ranged) << shown;
    }
}

// A server that accepts and never answers fails after the stall time, so that
// whoever waits for the transfer to be idle can try again.
TEST_F(CurlTransferTest, FailuresEndInError)
{
    const QString cases[] = {
        // What the server does.
        url("/fault/404"), url("/no-such-file.html"), url("/fault/reset"), url("/fault/hang"),
        QStringLiteral("http://127.0.0.1:%1/").arg(LoopbackServer().port()),  // refused: nothing listens there now
        // Redirects past the limit, in a loop, or off the web.
        url("/fault/chain?n=21"), url("/fault/redirect-loop"), url("/fault/redirect?to=ftp://127.0.0.1/"),
        // Addresses that never reach a server.
        QStringLiteral("ftp://127.0.0.1/file.txt"), QStringLiteral("file:///etc/hostname"), QStringLiteral("not a url"),
        QStringLiteral("http://"), QString(), QStringLiteral("http://no-such-host.invalid/"),
    };
    for (const QString &address : cases) {
        SCOPED_TRACE(address.toStdString());
        EXPECT_EQ(fetch(address, Enough, 1).state, TransferState::Error);
    }
}

// Status, headers, final address and redirect chain come with finished(),
// for failures too: a 429's Retry-After is what its caller acts on.
TEST_F(CurlTransferTest, ReportsTheLastResponseAndTheRedirectsToIt)
{
    const struct {
        const char *what;
        std::string path;
        TransferState state;
        int status;
        QByteArray retryAfter;
        std::vector<std::string> hops;  // each answered 302
        std::string finalPath;          // empty: no response
    } cases[] = {
        {"plain page", "/page.html", TransferState::Complete, 200, {}, {}, "/page.html"},
        {"too many requests", "/fault/status?code=429&set-Retry-After=7", TransferState::Error, 429, "7", {},
         "/fault/status?code=429&set-Retry-After=7"},
        {"unavailable after a redirect", "/fault/redirect?to=/fault/status%3Fcode%3D503%26set-retry-after%3D2",
         TransferState::Error, 503, "2", {"/fault/redirect?to=/fault/status%3Fcode%3D503%26set-retry-after%3D2"},
         "/fault/status?code=503&set-retry-after=2"},
        {"two hops", "/fault/chain?n=2", TransferState::Complete, 200, {}, {"/fault/chain?n=2", "/fault/chain?n=1"},
         "/fault/chain?n=0"},
        {"refused redirect", "/fault/redirect?to=ftp://127.0.0.1/", TransferState::Error, 302, {}, {},
         "/fault/redirect?to=ftp://127.0.0.1/"},
        {"no response", "/fault/reset", TransferState::Error, 0, {}, {}, {}},
    };
    CurlTransfer transfer(QStringLiteral("Inet1"), *m_multi);
    transfer.setUserAgent(QStringLiteral("Tester/2.0 (+http://home.test/)"));
    std::vector<TransferResult> results;
    QObject::connect(&transfer, &Transfer::finished, [&](const TransferResult &r) { results.push_back(r); });
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        results.clear();
        transfer.execute(url(c.path), Enough);
        ASSERT_TRUE(waitUntil([&] { return !results.empty(); }));
        const TransferResult &r = results.front();
        EXPECT_EQ(r.state, c.state);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.headers.value("Retry-After"), c.retryAfter);
        EXPECT_EQ(QUrl(r.finalUrl), c.finalPath.empty() ? QUrl() : QUrl(url(c.finalPath)));
        QList<RedirectHop> hops;
        for (const std::string &hop : c.hops)
            hops.append({url(hop), 302});
        ASSERT_EQ(r.redirects.size(), hops.size());
        for (qsizetype i = 0; i < hops.size(); ++i) {
            EXPECT_EQ(QUrl(r.redirects.at(i).url), QUrl(hops.at(i).url));
            EXPECT_EQ(r.redirects.at(i).status, 302);
        }
    }
    results.clear();
    transfer.execute(url("/fault/headers"), Enough);
    ASSERT_TRUE(waitUntil([&] { return !results.empty(); }));
    EXPECT_TRUE(transfer.readData(INT_MAX).contains(QStringLiteral("User-Agent: Tester/2.0 (+http://home.test/)")));
    EXPECT_EQ(results.front().headers.value("content-type"), QByteArray("text/plain"));
}

TEST(CurlTransferRedirectRule, AllowsOnlyWebSchemesAndNoDowngrade)
{
    const QUrl http(QStringLiteral("http://a.example/"));
    const QUrl https(QStringLiteral("https://a.example/"));
    EXPECT_TRUE(CurlTransfer::isRedirectAllowed(http, QUrl(QStringLiteral("http://b.example/x"))));
    EXPECT_TRUE(CurlTransfer::isRedirectAllowed(http, https));
    EXPECT_TRUE(CurlTransfer::isRedirectAllowed(https, QUrl(QStringLiteral("HTTPS://b.example/"))));
    EXPECT_FALSE(CurlTransfer::isRedirectAllowed(https, http));
    EXPECT_FALSE(CurlTransfer::isRedirectAllowed(https, QUrl(QStringLiteral("HTTP://b.example/"))));
    EXPECT_FALSE(CurlTransfer::isRedirectAllowed(http, QUrl(QStringLiteral("file:///etc/passwd"))));
    EXPECT_FALSE(CurlTransfer::isRedirectAllowed(http, QUrl()));
}

// Cancelling an operation, or starting the next one over it, is silent, even for
// a failure already decided.
TEST_F(CurlTransferTest, OneInstanceRunsOperationsAndStopsThemSilently)
{
    CurlTransfer transfer(QStringLiteral("Inet1"), *m_multi);
    StateLog log(transfer);
    transfer.execute(url("/fault/charset?cs=utf-8&hex=61f09f9880"), Enough);
    ASSERT_EQ(log.wait(), TransferState::Complete);
    // A short read never splits a surrogate pair.
    EXPECT_EQ(transfer.readData(2), QStringLiteral("a"));
    EXPECT_EQ(transfer.readData(0), QString());

    for (const char *path : {"/fault/drip", "/fault/hang", "/fault/huge"}) {
        SCOPED_TRACE(path);
        transfer.execute(url(path), INT_MAX);
        EXPECT_EQ(transfer.readData(INT_MAX), QString());
        spin(150);
        ASSERT_TRUE(transfer.stillExecuting());
        transfer.cancel();
        EXPECT_FALSE(transfer.stillExecuting());
        EXPECT_EQ(m_multi->activeCount(), 0);
    }
    transfer.execute(QStringLiteral("gopher://127.0.0.1/"), Enough);
    transfer.cancel();
    transfer.cancel();
    spin(100);
    transfer.execute(url("/fault/drip"), Enough);
    spin(100);
    transfer.execute(QStringLiteral("bogus"), Enough);
    transfer.execute(url("/page.html"), Enough);
    ASSERT_TRUE(waitUntil([&] { return log.states.size() == 2; }));
    spin(1200);
    EXPECT_EQ(log.states, std::vector<TransferState>(2, TransferState::Complete));
    EXPECT_EQ(log.urls.back(), url("/page.html"));
    EXPECT_EQ(transfer.readData(INT_MAX), QString::fromUtf8(Page));
}

// Chains of pages on four transfers, each started from the previous one's
// signal and the transfer deleted by its last, while the server ends every
// connection after a few requests and some requests are dropped or capped:
// sockets close and their descriptors come back for new connections while
// others are being watched.
TEST_F(CurlTransferTest, ChainsOfPagesSurviveClosedAndReusedConnections)
{
    constexpr int Transfers = 4;
    constexpr int PagesEach = 15;
    const auto dropped = [](int t, int page) { return (t + page) % 7 == 3; };
    const auto size = [](int t, int page) { return 1000 + 997 * page + 31 * t; };
    const auto maxBytes = [](int t) { return t % 2 ? 4000 : Enough; };
    std::vector<std::unique_ptr<CurlTransfer>> transfers;
    std::vector<int> pages(Transfers, 0);
    const auto start = [&](int t) {
        const int page = pages[size_t(t)];
        const std::string path = dropped(t, page) ? "/fault/reset" : "/fault/bytes?n=" + std::to_string(size(t, page));
        transfers[size_t(t)]->execute(url(path), maxBytes(t));
    };
    for (int t = 0; t < Transfers; ++t) {
        transfers.push_back(std::make_unique<CurlTransfer>(QStringLiteral("Inet%1").arg(t + 1), *m_multi));
        CurlTransfer *transfer = transfers.back().get();
        QObject::connect(transfer, &Transfer::finished, transfer, [&, t, transfer](const TransferResult &r) {
            int &page = pages[size_t(t)];
            SCOPED_TRACE(testing::Message() << "transfer " << t << " page " << page);
            EXPECT_EQ(r.state, dropped(t, page) ? TransferState::Error : TransferState::Complete);
            if (r.state == TransferState::Complete) {
                EXPECT_EQ(transfer->readData(INT_MAX).size(), std::min(size(t, page), maxBytes(t)));
            }
            if (++page < PagesEach)
                start(t);
            else
                transfers[size_t(t)].reset();
        });
        start(t);
    }
    EXPECT_EQ(m_multi->activeCount(), Transfers);
    ASSERT_TRUE(waitUntil([&] { return std::count(pages.begin(), pages.end(), PagesEach) == Transfers; }));
    EXPECT_EQ(m_multi->activeCount(), 0);
}

TEST_F(CurlTransferTest, DestroyingWithOperationsInFlightIsClean)
{
    {
        CurlTransfer doomed(QStringLiteral("Inet1"), *m_multi);
        doomed.execute(url("/fault/huge"), Enough);
        spin(100);
    }
    EXPECT_EQ(m_multi->activeCount(), 0);
    EXPECT_EQ(fetch(url("/page.html")).state, TransferState::Complete);

    // The multi goes first: the transfer stops silently and refuses new work later.
    CurlTransfer orphan(QStringLiteral("Inet2"), *m_multi);
    StateLog log(orphan);
    orphan.execute(url("/fault/drip"), Enough);
    spin(100);
    m_multi.reset();
    EXPECT_FALSE(orphan.stillExecuting());
    spin(200);
    EXPECT_TRUE(log.states.empty());
    orphan.execute(url("/page.html"), Enough);
    EXPECT_EQ(log.wait(), TransferState::Error);
}

}  // namespace
}  // namespace quorvane
