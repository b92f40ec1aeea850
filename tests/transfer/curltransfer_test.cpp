#include "statelog.h"

#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "testserver/loopbackserver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <memory>
#include <string>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvane {
namespace {

constexpr int Enough = 1 << 20;

// A loopback port that nothing listens on.
int closedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

// Peak resident memory of this process in KiB.
long peakMemoryKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

// The folder on connections that end after a few requests, so that clients
// meet closed and reused ones.
LoopbackServer::Options fewRequestsPerConnection(const QTemporaryDir &root)
{
    LoopbackServer::Options options;
    options.staticRoot = root.path().toStdString();
    options.requestsPerConnection = 5;
    return options;
}

class CurlTransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        QFile page(m_root.filePath(QStringLiteral("page.html")));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html><head><title>Hi</title></head><body>Hello from Quorvane</body></html>");
    }

    QString url(const std::string &path) const { return QString::fromStdString(m_server.url(path)); }

    // The result of one GET on a fresh transfer, checking the signal contract on the way.
    TransferState fetch(const QString &address, int maxBytes = Enough, QString *text = nullptr)
    {
        CurlTransfer transfer(QStringLiteral("Inet1"), *m_multi);
        StateLog log(transfer);
        transfer.execute(address, maxBytes);
        EXPECT_TRUE(log.states.empty()) << "signalled inside execute()";
        const TransferState state = log.wait();
        spin(20);
        EXPECT_EQ(log.states.size(), 1u);
        EXPECT_FALSE(transfer.stillExecuting());
        for (bool executing : log.executingInSignal)
            EXPECT_FALSE(executing);
        if (text)
            *text = transfer.readData(INT_MAX);
        return state;
    }

    QTemporaryDir m_root;
    // Declared before the multi so that the client closes its connections first and
    // the server does not wait for them on shutdown.
    LoopbackServer m_server{fewRequestsPerConnection(m_root)};
    std::unique_ptr<CurlMulti> m_multi = std::make_unique<CurlMulti>();
};

TEST_F(CurlTransferTest, CompletesAPageAndKeepsItsData)
{
    CurlTransfer transfer(QStringLiteral("Inet3"), *m_multi);
    StateLog log(transfer);
    const QString address = url("/page.html");
    transfer.execute(address, Enough);

    EXPECT_TRUE(transfer.stillExecuting());
    EXPECT_EQ(transfer.url(), address);
    ASSERT_EQ(log.wait(), TransferState::Complete);
    EXPECT_FALSE(log.executingInSignal.front());
    EXPECT_EQ(log.urls.front(), address);
    EXPECT_EQ(transfer.name(), QStringLiteral("Inet3"));
    EXPECT_EQ(transfer.url(), address);
    EXPECT_EQ(transfer.readData(INT_MAX),
              QStringLiteral("<html><head><title>Hi</title></head><body>Hello from Quorvane</body></html>"));
    EXPECT_EQ(transfer.readData(6), QStringLiteral("<html>"));
    EXPECT_EQ(transfer.readData(0), QString());

    // The same instance runs a second operation; the last completed body wins.
    transfer.execute(url("/fault/bytes?n=3000"), Enough);
    ASSERT_TRUE(waitUntil([&] { return log.states.size() == 2; }));
    EXPECT_EQ(log.states.back(), TransferState::Complete);
    EXPECT_EQ(log.urls.back(), url("/fault/bytes?n=3000"));
    EXPECT_EQ(transfer.readData(INT_MAX).size(), 3000);
}

TEST_F(CurlTransferTest, SendsItsIdentityAndAcceptsCompression)
{
    QString headers;
    ASSERT_EQ(fetch(url("/fault/headers"), Enough, &headers), TransferState::Complete);
    EXPECT_TRUE(headers.contains(QStringLiteral("User-Agent: Quorvane/0.1"))) << headers.toStdString();
    EXPECT_TRUE(headers.contains(QStringLiteral("gzip"))) << headers.toStdString();

    // The server compresses this page; it must arrive decompressed and whole.
    QString page;
    ASSERT_EQ(fetch(url("/fault/bytes?n=50000"), Enough, &page), TransferState::Complete);
    EXPECT_EQ(page.size(), 50000);
    EXPECT_TRUE(page.startsWith(QStringLiteral("<html><body>aaa")));
}

// A short read asks for its range only, so the server can end the response
// there and keep the connection; an empty resource is an empty page.
TEST_F(CurlTransferTest, ShortReadsAskForTheirRangeOnly)
{
    QString headers;
    ASSERT_EQ(fetch(url("/fault/headers"), 32000, &headers), TransferState::Complete);
    EXPECT_TRUE(headers.contains(QStringLiteral("Range: bytes=0-31999"))) << headers.toStdString();
    EXPECT_FALSE(headers.contains(QStringLiteral("gzip"))) << headers.toStdString();

    QString page;
    ASSERT_EQ(fetch(url("/fault/bytes?n=50000"), 32000, &page), TransferState::Complete);
    EXPECT_EQ(page.size(), 32000);
    EXPECT_TRUE(page.startsWith(QStringLiteral("<html><body>aaa")));

    QTemporaryDir root;
    QFile empty(root.filePath(QStringLiteral("empty.txt")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    LoopbackServer files(root.path().toStdString());
    QString nothing = QStringLiteral("stale");
    EXPECT_EQ(fetch(QString::fromStdString(files.url("/empty.txt")), 32000, &nothing), TransferState::Complete);
    EXPECT_TRUE(nothing.isEmpty());
}

TEST_F(CurlTransferTest, FailuresEndInErrorAndNeverSynchronously)
{
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort());
    const QString cases[] = {
        url("/fault/404"),
        url("/no-such-file.html"),
        refused,
        url("/fault/reset"),
        QStringLiteral("ftp://127.0.0.1/file.txt"),
        QStringLiteral("file:///etc/hostname"),
        QStringLiteral("not a url"),
        QStringLiteral("http://"),
        QString(),
        QStringLiteral("http://no-such-host.invalid/"),
    };
    for (const QString &address : cases) {
        SCOPED_TRACE(address.toStdString());
        EXPECT_EQ(fetch(address), TransferState::Error);
    }
}

TEST_F(CurlTransferTest, AServerThatStopsSendingEndsInError)
{
    // Accepted and never answered: after the stall time the transfer fails,
    // so that whoever waits for it being idle can try again.
    CurlTransfer transfer(QStringLiteral("Inet5"), *m_multi);
    transfer.setStallSeconds(1);
    StateLog log(transfer);
    transfer.execute(url("/fault/hang"), Enough);
    EXPECT_EQ(log.wait(), TransferState::Error);
    EXPECT_FALSE(transfer.stillExecuting());
}

TEST_F(CurlTransferTest, FollowsRedirectsWithinLimits)
{
    CurlTransfer transfer(QStringLiteral("Inet1"), *m_multi);
    StateLog log(transfer);
    const QString start = url("/fault/redirect?to=/page.html");
    transfer.execute(start, Enough);
    ASSERT_EQ(log.wait(), TransferState::Complete);
    EXPECT_EQ(transfer.url(), start);
    EXPECT_EQ(transfer.finalUrl(), QUrl(url("/page.html")));
    EXPECT_TRUE(transfer.readData(INT_MAX).contains(QStringLiteral("Hello from Quorvane")));

    QString text;
    EXPECT_EQ(fetch(url("/fault/chain?n=20"), Enough, &text), TransferState::Complete);
    EXPECT_EQ(text, QStringLiteral("end of chain"));
    EXPECT_EQ(fetch(url("/fault/chain?n=21")), TransferState::Error);
    EXPECT_EQ(fetch(url("/fault/redirect-loop")), TransferState::Error);
    EXPECT_EQ(fetch(url("/fault/redirect?to=ftp://127.0.0.1/")), TransferState::Error);
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
    EXPECT_FALSE(CurlTransfer::isRedirectAllowed(http, QUrl(QStringLiteral("ftp://a.example/"))));
    EXPECT_FALSE(CurlTransfer::isRedirectAllowed(http, QUrl(QStringLiteral("file:///etc/passwd"))));
    EXPECT_FALSE(CurlTransfer::isRedirectAllowed(http, QUrl()));
}

TEST_F(CurlTransferTest, StopsAtMaxBytesAndCompletes)
{
    QString text;
    EXPECT_EQ(fetch(url("/fault/bytes?n=5000"), 100, &text), TransferState::Complete);
    EXPECT_EQ(text, QStringLiteral("<html><body>") + QString(88, u'a'));

    EXPECT_EQ(fetch(url("/fault/bytes?n=5000"), 0, &text), TransferState::Complete);
    EXPECT_TRUE(text.isEmpty());

    // A 2 GB body: only the first 8 MB may ever be held.
    const long peakBefore = peakMemoryKb();
    EXPECT_EQ(fetch(url("/fault/huge"), 8 << 20, &text), TransferState::Complete);
    EXPECT_EQ(text.size(), 8 << 20);
    EXPECT_EQ(text.count(u'x'), 8 << 20);
    EXPECT_LT(peakMemoryKb() - peakBefore, 200 * 1024);
}

TEST_F(CurlTransferTest, CancelIsSilentAndStops)
{
    CurlTransfer transfer(QStringLiteral("Inet1"), *m_multi);
    StateLog log(transfer);

    for (const char *path : {"/fault/drip", "/fault/hang", "/fault/huge"}) {
        transfer.execute(url(path), INT_MAX);
        spin(150);
        ASSERT_TRUE(transfer.stillExecuting()) << path;
        transfer.cancel();
        EXPECT_FALSE(transfer.stillExecuting());
    }
    // Even a failure that was already decided stays silent.
    transfer.execute(QStringLiteral("gopher://127.0.0.1/"), Enough);
    transfer.cancel();
    transfer.cancel();
    spin(1200);
    EXPECT_TRUE(log.states.empty());
    EXPECT_EQ(m_multi->activeCount(), 0);
}

TEST_F(CurlTransferTest, ExecuteReplacesTheRunningOperation)
{
    CurlTransfer transfer(QStringLiteral("Inet1"), *m_multi);
    StateLog log(transfer);
    transfer.execute(url("/fault/drip"), Enough);
    spin(100);
    transfer.execute(QStringLiteral("bogus"), Enough);
    transfer.execute(url("/page.html"), Enough);
    ASSERT_EQ(log.wait(), TransferState::Complete);
    spin(300);
    EXPECT_EQ(log.states.size(), 1u);
    EXPECT_EQ(transfer.url(), url("/page.html"));
}

TEST_F(CurlTransferTest, FourTransfersInFlightAllComplete)
{
    std::vector<std::unique_ptr<CurlTransfer>> transfers;
    std::vector<std::unique_ptr<StateLog>> logs;
    for (int i = 0; i < 4; ++i) {
        transfers.push_back(std::make_unique<CurlTransfer>(QStringLiteral("Inet%1").arg(i + 1), *m_multi));
        logs.push_back(std::make_unique<StateLog>(*transfers.back()));
        transfers.back()->execute(url("/fault/bytes?n=" + std::to_string(10000 * (i + 1))), Enough);
    }
    EXPECT_EQ(m_multi->activeCount(), 4);
    ASSERT_TRUE(waitUntil([&] {
        for (const auto &log : logs) {
            if (log->states.empty())
                return false;
        }
        return true;
    }));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(logs[i]->states, std::vector<TransferState>{TransferState::Complete});
        EXPECT_EQ(logs[i]->executingInSignal, std::vector<bool>{false});
        EXPECT_EQ(transfers[i]->readData(INT_MAX).size(), 10000 * (i + 1));
    }
    EXPECT_EQ(m_multi->activeCount(), 0);
}

// Chains of pages on four transfers, each started from the previous one's
// signal, while the server ends every connection after a few requests and
// some requests are dropped or capped: sockets close and their descriptors
// come back for new connections while others are being watched.
TEST_F(CurlTransferTest, ChainsOfPagesSurviveClosedAndReusedConnections)
{
    constexpr int Transfers = 4;
    constexpr int PagesEach = 15;
    const auto pathFor = [](int t, int page) -> std::string {
        if ((t + page) % 7 == 3)
            return "/fault/reset";
        return "/fault/bytes?n=" + std::to_string(1000 + 997 * page + 31 * t);
    };
    struct Chain {
        std::unique_ptr<CurlTransfer> transfer;
        int page = 0;
        std::vector<TransferState> states;
        std::vector<qsizetype> sizes;
    };
    std::vector<Chain> chains(Transfers);
    for (int t = 0; t < Transfers; ++t) {
        Chain &chain = chains[size_t(t)];
        chain.transfer = std::make_unique<CurlTransfer>(QStringLiteral("Inet%1").arg(t + 1), *m_multi);
        QObject::connect(chain.transfer.get(), &Transfer::finished, chain.transfer.get(), [&, t](const TransferResult &r) {
            Chain &c = chains[size_t(t)];
            c.states.push_back(r.state);
            c.sizes.push_back(c.transfer->readData(INT_MAX).size());
            if (++c.page < PagesEach)
                c.transfer->execute(url(pathFor(t, c.page)), t % 2 ? 4000 : Enough);
        });
        chain.transfer->execute(url(pathFor(t, 0)), t % 2 ? 4000 : Enough);
    }
    ASSERT_TRUE(waitUntil([&] {
        return std::all_of(chains.begin(), chains.end(), [](const Chain &c) { return c.page == PagesEach; });
    }));
    for (int t = 0; t < Transfers; ++t) {
        for (int page = 0; page < PagesEach; ++page) {
            SCOPED_TRACE(testing::Message() << "transfer " << t << " page " << page);
            const Chain &chain = chains[size_t(t)];
            if (pathFor(t, page) == "/fault/reset") {
                EXPECT_EQ(chain.states[size_t(page)], TransferState::Error);
                continue;
            }
            const qsizetype full = 1000 + 997 * page + 31 * t;
            EXPECT_EQ(chain.states[size_t(page)], TransferState::Complete);
            EXPECT_EQ(chain.sizes[size_t(page)], t % 2 ? std::min<qsizetype>(full, 4000) : full);
        }
    }
    EXPECT_EQ(m_multi->activeCount(), 0);
}

TEST_F(CurlTransferTest, SignalHandlersMayStartAndDeleteTransfers)
{
    auto first = std::make_unique<CurlTransfer>(QStringLiteral("Inet1"), *m_multi);
    CurlTransfer second(QStringLiteral("Inet2"), *m_multi);
    StateLog secondLog(second);
    int firstSignals = 0;
    QObject::connect(first.get(), &Transfer::finished, first.get(), [&](const TransferResult &) {
        ++firstSignals;
        second.execute(url("/page.html"), Enough);
        delete first.release();
    });
    first->execute(url("/page.html"), Enough);
    ASSERT_EQ(secondLog.wait(), TransferState::Complete);
    EXPECT_EQ(firstSignals, 1);
}

TEST_F(CurlTransferTest, DestroyingWithOperationsInFlightIsClean)
{
    {
        CurlTransfer doomed(QStringLiteral("Inet1"), *m_multi);
        doomed.execute(url("/fault/huge"), Enough);
        spin(100);
    }
    EXPECT_EQ(m_multi->activeCount(), 0);
    EXPECT_EQ(fetch(url("/page.html")), TransferState::Complete);

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

TEST_F(CurlTransferTest, DecodesByTheServedCharset)
{
    QString text;
    // "Привет" in windows-1251.
    ASSERT_EQ(fetch(url("/fault/charset?cs=windows-1251&hex=cff0e8e2e5f2"), Enough, &text),
              TransferState::Complete);
    EXPECT_EQ(text, QStringLiteral("Привет"));
    ASSERT_EQ(fetch(url("/fault/charset?cs=utf-8&hex=c3a9"), Enough, &text), TransferState::Complete);
    EXPECT_EQ(text, QStringLiteral("é"));
}

}  // namespace
}  // namespace quorvane
