// What the crawler learns of each found page for the exports (its clues, its
// paragraphs, its e-mail addresses), on a generated page of 2 KB: every found
// page of a keyword search pays this once on the window's thread.
#include "core/emailaddress.h"
#include "core/pageclues.h"

#include <benchmark/benchmark.h>

#include <QString>

using namespace quorvane;

namespace {

QString generatedPage()
{
    QString html = QStringLiteral("<html><head><title>Page 3</title><meta name=\"description\" content=\"Generated page "
                                  "3\"></head><body>\n<p>Welcome to page 3.</p>\n");
    for (int i = 0; i < 14; ++i)
        html += QStringLiteral("<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
                               "incididunt ut labore et dolore magna aliqua.</p>\n");
    html += QStringLiteral("<p>Trade your links with us: quorvanekey.</p>\n<a href=\"mailto:page3@gen.test\">Write to "
                           "page 3</a>\n<img src=\"/gen/pic3.jpg\">\n</body></html>\n");
    return html;
}

void BM_FoundPageClues(benchmark::State &bench)
{
    const QString html = generatedPage();
    const QString url = QStringLiteral("http://127.0.0.1:8080/gen/page/3.htm?kb=2");
    for (auto _ : bench) {
        benchmark::DoNotOptimize(readPageClues(pageWordsFromHtml(url, html)));
        benchmark::DoNotOptimize(paragraphCount(html));
        benchmark::DoNotOptimize(mailtoAddressesIn(html));
    }
}
BENCHMARK(BM_FoundPageClues)->Unit(benchmark::kMicrosecond);

}  // namespace
