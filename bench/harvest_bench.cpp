// Harvest of a page with 32,767 distinct links: the logic's time only, the
// page already parsed into its document snapshot.
#include "core/windowstate.h"
#include "links/harvester.h"
#include "support/fakehost.h"

#include <benchmark/benchmark.h>

using namespace quorvane;

namespace {
DocumentPtr bigPage()
{
    auto doc = std::make_shared<HtmlDocument>();
    doc->url = QStringLiteral("http://big.test/");
    doc->bodyTagName = QStringLiteral("BODY");
    for (int i = 0; i < 32767; ++i) {
        // Site roots before longer addresses: the case a substring test gets wrong.
        doc->links.append({QStringLiteral("http://site%1.test/page/%2.htm").arg(i % 977).arg(i),
                           QStringLiteral("Link number %1 & more").arg(i), {}, {}});
    }
    return doc;
}

void BM_HarvestDistinctLinks(benchmark::State &bench)
{
    const DocumentPtr page = bigPage();
    for (auto _ : bench) {
        bench.PauseTiming();
        FakeHost host;
        WindowState state;
        Harvester harvester(state, host);
        bench.ResumeTiming();
        harvester.harvestDocument(page);
        benchmark::DoNotOptimize(state.listlinks.items().size());
        if (state.List7.count() != 32767)
            bench.SkipWithError("links lost");
    }
}
BENCHMARK(BM_HarvestDistinctLinks)->Unit(benchmark::kMillisecond);
}  // namespace
