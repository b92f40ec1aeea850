// Pages per second through one CurlMulti with four transfers in flight, each
// starting its next page from its completion signal. The server runs in this
// process, and its threads compete for the CPU. The items are 40 KB pages,
// served uncompressed as text/html or as application/octet-stream.
#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "testserver/loopbackserver.h"

#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

using namespace quorvane;

namespace {
constexpr int InFlight = 4;
constexpr int Pages = 400;
constexpr int PageBytes = 40960;
constexpr int MaxBytes = 1 << 20;

void BM_CurlTransfer40KbPages(benchmark::State &bench, const std::string &query)
{
    LoopbackServer server;
    CurlMulti multi;
    const QString address = QString::fromStdString(server.url("/fault/bytes?n=" + std::to_string(PageBytes) + query));
    QEventLoop loop;
    int started = 0;
    int finished = 0;
    int failed = 0;
    std::vector<std::unique_ptr<CurlTransfer>> transfers;
    for (int i = 0; i < InFlight; ++i) {
        transfers.push_back(std::make_unique<CurlTransfer>(QStringLiteral("Inet%1").arg(i + 1), multi));
        CurlTransfer *transfer = transfers.back().get();
        QObject::connect(transfer, &Transfer::finished, transfer, [&, transfer](const TransferResult &r) {
            if (!r.complete() || transfer->readData(INT_MAX).size() != PageBytes)
                ++failed;
            if (++finished == Pages) {
                loop.quit();
            } else if (started < Pages) {
                ++started;
                transfer->execute(address, MaxBytes);
            }
        });
    }
    for (auto _ : bench) {
        started = 0;
        finished = 0;
        for (const auto &transfer : transfers) {
            ++started;
            transfer->execute(address, MaxBytes);
        }
        loop.exec();
    }
    if (failed > 0)
        bench.SkipWithError("pages failed or came short");
    bench.SetItemsProcessed(bench.iterations() * Pages);
    bench.SetBytesProcessed(bench.iterations() * Pages * PageBytes);
}
BENCHMARK_CAPTURE(BM_CurlTransfer40KbPages, html, std::string())->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CurlTransfer40KbPages, octet_stream, std::string("&raw=1"))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
}  // namespace
