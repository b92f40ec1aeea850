// The automatic collector's work for one page: 2,000 images and 2,000 links
// against a full image buffer and a links list of 30,000 entries (target:
// under 20 ms a page). The spills of the full buffer write real files.
#include "core/windowstate.h"
#include "crawler/imagecollector.h"
#include "host/host.h"
#include "links/harvester.h"
#include "support/fakehost.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quorvane;

namespace {
DocumentPtr collectorPage()
{
    auto doc = std::make_shared<HtmlDocument>();
    doc->url = QStringLiteral("http://gallery.test/");
    doc->bodyTagName = QStringLiteral("BODY");
    for (int i = 0; i < 2000; ++i) {
        doc->images.append(QStringLiteral("http://gallery.test/img/%1.png").arg(i));
        // Every other link is already queued: both outcomes of the lookups.
        const int site = i % 2 == 0 ? i : 100000 + i;
        doc->links.append({QStringLiteral("http://site%1.test/index.htm").arg(site), QString(), {}, {}});
    }
    return doc;
}

void BM_CollectPageAgainstFullLists(benchmark::State &bench)
{
    QTemporaryDir folder;
    Config config;
    config.programFolder = folder.path();
    const DocumentPtr page = collectorPage();
    QStringList links, buffer;
    for (int i = 0; i < 30000; ++i)
        links << QStringLiteral("http://site%1.test/index.htm").arg(i);
    for (int i = 0; i < ImageCollector::BufferCapacity; ++i)
        buffer << QStringLiteral("http://old.test/%1.jpg").arg(i);

    for (auto _ : bench) {
        bench.PauseTiming();
        FakeHost host;
        WindowState state;
        Harvester harvester(state, host);
        ImageCollector collector(state, host, config, harvester);
        state.listlinks.setItems(links);
        state.List2.setItems(buffer);
        // The walk keeps its indexes between pages: build them before the clock runs.
        collector.addCollectedLink(links.first());
        collector.addImage(buffer.first());
        bench.ResumeTiming();
        collector.collectDocumentImages(page);
        // The next step reads the links list's first entry: the merge of this page's links.
        benchmark::DoNotOptimize(state.listlinks.at(0));
        benchmark::DoNotOptimize(state.List2.count());
        if (state.listlinks.count() != 31000)
            bench.SkipWithError("links lost");
    }
}
BENCHMARK(BM_CollectPageAgainstFullLists)->Unit(benchmark::kMillisecond)->Iterations(20);
}  // namespace
