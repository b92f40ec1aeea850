// The keyword search over 1,000 local pages of about 40 KB with four transfer
// slots, beside `curl --parallel --parallel-max 4` fetching the same pages from
// the same server; and the report run through WebBrowser2 on the text-only
// engine. Pages per second are the items per second.
#include "crawlerbench.h"
#include "curlpeer.h"
#include "core/config.h"
#include "host/textengine/textbrowser.h"
#include "session/sessionjournal.h"

#include <QTemporaryDir>


using namespace quorvane;
using namespace quorvane::bench;

namespace {
constexpr int Pages = 1000;
constexpr int PageKb = 40;

std::unique_ptr<Browser> noReader(CurlMulti &)
{
    return nullptr;
}

void BM_KeywordSearch1000Pages(benchmark::State &bench)
{
    QStringList urls;
    for (int i = 0; i < Pages; ++i)
        urls.append(pageUrl(i, PageKb));
    BenchHost host(noReader);
    for (auto _ : bench) {
        WindowState state;
        Crawler crawler(state, host);
        state.listlinks.setItems(urls);
        state.Combo1.list.setItems({QStringLiteral("absent word"), QStringLiteral("quorvanekey")});
        QEventLoop loop;
        host.m_services.loop = &loop;
        crawler.readit_Click();
        loop.exec();
        host.m_services.loop = nullptr;
        if (!state.listlinks.isEmpty() || state.List1.count() != 0)
            bench.SkipWithError("unexpected result");
    }
    bench.SetItemsProcessed(bench.iterations() * Pages);
}
BENCHMARK(BM_KeywordSearch1000Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same search while the session journal records the window, its flushes
// every ARG ms (the program's interval is 1000; shorter ones show the cost
// when the search outlasts many ticks).
void BM_KeywordSearch1000PagesJournaled(benchmark::State &bench)
{
    QStringList urls;
    for (int i = 0; i < Pages; ++i)
        urls.append(pageUrl(i, PageKb));
    BenchHost host(noReader);
    QTemporaryDir folder;
    Config config;
    config.programFolder = folder.path();
    config.stateFolder = folder.path();
    for (auto _ : bench) {
        // Opening and closing the journal happen once a run, not once a search.
        bench.PauseTiming();
        WindowState state;
        Crawler crawler(state, host);
        auto owned = std::make_unique<SessionJournal>(state, host, config);
        SessionJournal &journal = *owned;
        journal.start(SessionJournal::Restore::Ask);
        bench.ResumeTiming();
        state.listlinks.setItems(urls);
        state.Combo1.list.setItems({QStringLiteral("absent word"), QStringLiteral("quorvanekey")});
        QEventLoop loop;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &journal, &SessionJournal::flush);
        tick.start(int(bench.range(0)));
        host.m_services.loop = &loop;
        crawler.readit_Click();
        loop.exec();
        host.m_services.loop = nullptr;
        bench.PauseTiming();
        journal.close();
        // Closing the database checkpoints its log: that belongs to the run's end too.
        owned.reset();
        bench.ResumeTiming();
        if (!state.listlinks.isEmpty() || state.List1.count() != 0)
            bench.SkipWithError("unexpected result");
    }
    bench.SetItemsProcessed(bench.iterations() * Pages);
}
BENCHMARK(BM_KeywordSearch1000PagesJournaled)->Arg(1000)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same pages through the curl command line, four at a time, for comparison.
void BM_CurlParallel4Command(benchmark::State &bench)
{
    QStringList urls;
    for (int i = 0; i < Pages; ++i)
        urls.append(pageUrl(i, PageKb));
    runCurlParallel4(bench, urls);
}
BENCHMARK(BM_CurlParallel4Command)->Unit(benchmark::kMillisecond)->UseRealTime();

// The report run on the text-only engine; the argument is the page size in kilobytes.
void BM_ReportRunTextEngine(benchmark::State &bench)
{
    runReport(
        bench,
        [](CurlMulti &multi) -> std::unique_ptr<Browser> {
            return std::make_unique<TextBrowser>(QStringLiteral("WebBrowser2"), [&multi] {
                return std::make_unique<CurlTransfer>(QStringLiteral("fetch"), multi);
            });
        },
        300, int(bench.range(0)));
}
BENCHMARK(BM_ReportRunTextEngine)->Arg(2)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
