#include "statelog.h"
#include "testserver/loopbackserver.h"

#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <vector>

namespace quorvane {
namespace {

// Pages per second through one CurlMulti, each transfer starting its next page from
// its completion signal. The server runs in this process and competes for the CPU.
void measure(const std::string &path, const char *label)
{
    constexpr int InFlight = 4;
    constexpr int Pages = 2000;
    LoopbackServer server;
    CurlMulti multi;
    const QString address = QString::fromStdString(server.url(path));

    std::vector<std::unique_ptr<CurlTransfer>> transfers;
    int started = 0;
    int completed = 0;
    int failed = 0;
    for (int i = 0; i < InFlight; ++i) {
        transfers.push_back(std::make_unique<CurlTransfer>(QStringLiteral("Inet%1").arg(i + 1), multi));
        CurlTransfer *transfer = transfers.back().get();
        QObject::connect(transfer, &Transfer::finished, transfer, [&, transfer](const TransferResult &r) {
            if (r.complete() && transfer->readData(INT_MAX).size() == 40960)
                ++completed;
            else
                ++failed;
            if (started < Pages) {
                ++started;
                transfer->execute(address, 1 << 20);
            }
        });
    }

    QElapsedTimer clock;
    clock.start();
    for (const auto &transfer : transfers) {
        ++started;
        transfer->execute(address, 1 << 20);
    }
    ASSERT_TRUE(waitUntil([&] { return completed + failed == Pages; }, 300000));
    const double seconds = clock.elapsed() / 1000.0;
    EXPECT_EQ(failed, 0);
    std::cout << label << ": " << completed << " pages of 40 KB in " << seconds << " s, "
              << completed / seconds << " pages/s with " << InFlight << " in flight\n";
}

// Measurements, not checks: run with --gtest_also_run_disabled_tests.
TEST(CurlTransferThroughput, DISABLED_FortyKilobytePagesUncompressed)
{
    measure("/fault/bytes?n=40960&raw=1", "uncompressed");
}

TEST(CurlTransferThroughput, DISABLED_FortyKilobytePagesCompressedByTheServer)
{
    measure("/fault/bytes?n=40960", "compressed");
}

}  // namespace
}  // namespace quorvane
