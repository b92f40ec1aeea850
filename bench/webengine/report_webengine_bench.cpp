// The report run with WebBrowser2 on QtWebEngine, to set beside the text-only
// engine's: the same pages, analysis and report. Runs offscreen.
#include "../crawlerbench.h"
#include "host/webengine/webenginebrowser.h"

#include <QApplication>
#include <QWebEngineProfile>

using namespace quorvane;
using namespace quorvane::bench;

namespace {
QWebEngineProfile *g_profile = nullptr;

// The argument is the page size in kilobytes.
void BM_ReportRunWebEngine(benchmark::State &bench)
{
    runReport(
        bench,
        [](CurlMulti &) -> std::unique_ptr<Browser> {
            return std::make_unique<WebEngineBrowser>(QStringLiteral("WebBrowser2"), g_profile, false);
        },
        60, int(bench.range(0)));
}
BENCHMARK(BM_ReportRunWebEngine)->Arg(2)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    g_profile = new QWebEngineProfile(&app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_profile;
    return 0;
}
