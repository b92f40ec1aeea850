// The next-home-page list at its full read size (64,000 characters) arriving
// when every page in it has been shown already: the worst case of the walk,
// which drops each queued page after looking it up in the shown pages.
#include "app/windowlogic.h"
#include "core/windowstate.h"
#include "links/sitelist.h"
#include "support/fakehost.h"

#include <benchmark/benchmark.h>

using namespace quorvane;

namespace {
QString homePageList(QStringList *pages)
{
    QString text;
    for (int i = 0; text.size() < 64000 - 64; ++i) {
        const QString page = QStringLiteral("http://home.test/next/page%1.htm").arg(i);
        pages->append(page);
        text += page + QLatin1String("\r\n");
    }
    return text;
}
}  // namespace

static void BM_HomePageListAllShown(benchmark::State &state)
{
    QStringList pages;
    const QString text = homePageList(&pages);
    for (auto _ : state) {
        state.PauseTiming();
        FakeHost host;
        WindowState window;
        WindowLogic logic(window, host, Config{});
        window.List6.setItems(pages);
        host.fakeTransfer(10).execute(QStringLiteral("http://home.test/list5.txt"), 64000);
        state.ResumeTiming();
        host.fakeTransfer(10).complete(text);
        benchmark::DoNotOptimize(window.List6.count());
    }
    state.counters["pages"] = double(pages.size());
}
BENCHMARK(BM_HomePageListAllShown)->Unit(benchmark::kMillisecond);

// A site list at its full read size of 12,000 characters.
static void BM_ParseSiteListFullReadSize(benchmark::State &state)
{
    QString text;
    for (int i = 0; text.size() < 12000 - 64; ++i)
        text += QStringLiteral("Site %1<http://site%1.test/>").arg(i);
    for (auto _ : state)
        benchmark::DoNotOptimize(parseSiteList(text));
}
BENCHMARK(BM_ParseSiteListFullReadSize)->Unit(benchmark::kMicrosecond);
