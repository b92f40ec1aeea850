// Parsing one page of about 40 KB into its document snapshot: the bulk of the
// text-only engine's time per page in the report run.
#include "host/gumbo/htmlparser.h"

#include <benchmark/benchmark.h>

using namespace quorvane;

namespace {

QString fortyKilobytePage()
{
    QString page = QStringLiteral("<html><head><title>Page</title><meta name=\"description\" content=\"A page\">"
                                  "</head><body>\n");
    for (int i = 0; page.size() < 40 * 1024; ++i) {
        page += QStringLiteral("<p>Lorem ipsum dolor sit amet, <b>consectetur</b> adipiscing elit, sed do eiusmod "
                               "tempor <a href=\"/page/%1.htm\">incididunt</a> ut labore et dolore magna aliqua.</p>\n")
                    .arg(i);
    }
    return page + QStringLiteral("</body></html>");
}

void BM_ParseFortyKilobytePage(benchmark::State &bench)
{
    const QString page = fortyKilobytePage();
    const QString url = QStringLiteral("http://pages.test/dir/page.htm");
    for (auto _ : bench)
        benchmark::DoNotOptimize(parseHtmlDocument(page, url));
}
BENCHMARK(BM_ParseFortyKilobytePage)->Unit(benchmark::kMicrosecond);

}  // namespace
