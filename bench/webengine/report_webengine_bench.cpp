// The report run with WebBrowser2 on QtWebEngine, to set beside the text-only
// engine's: the same pages, analysis and report. Runs offscreen.
#include "../benchmain.h"
#include "../crawlerbench.h"
#include "host/webengine/webenginebrowser.h"
#include "support/qtapp/webengineapp.h"

using namespace quorvane;
using namespace quorvane::bench;

namespace {

// The argument is the page size in kilobytes.
void BM_ReportRunWebEngine(benchmark::State &bench)
{
    runReport(
        bench,
        [](CurlMulti &) -> std::unique_ptr<Browser> {
            return std::make_unique<WebEngineBrowser>(QStringLiteral("WebBrowser2"), WebEngineApp::profile(), false);
        },
        60, int(bench.range(0)));
}
BENCHMARK(BM_ReportRunWebEngine)->Arg(2)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
}  // namespace

int main(int argc, char **argv)
{
    WebEngineApp app(argc, argv);
    return runBenchmarks(argc, argv);
}
