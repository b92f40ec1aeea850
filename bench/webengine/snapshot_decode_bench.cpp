// What the window does with a page's snapshot when it comes in: the field text
// of a page of 32,767 links, each on a line of its own, read into the
// document the logic sees.
#include "host/webengine/framesnapshot.h"

#include <benchmark/benchmark.h>

#include <QStringList>

using namespace quorvane;

namespace {

QString field(const QString &value)
{
    return QString::number(value.size()) + QLatin1Char(':') + value;
}

// As snapshot.js writes it for /gen/index.htm?n=32767: links, then the
// HTML, HEAD, TITLE and BODY elements and an A and a BR element per link.
QString bigSnapshot()
{
    constexpr int kLinks = 32767;
    QStringList out{field(QStringLiteral("quorvane-snapshot/2")), field(QString()),
                    field(QStringLiteral("http://127.0.0.1:8737/gen/index.htm?n=32767")),
                    field(QStringLiteral("Generated index")), field(QStringLiteral("127.0.0.1")),
                    field(QStringLiteral("BODY")), field(QStringLiteral("0")), field(QString::number(kLinks))};
    for (int i = 0; i < kLinks; ++i) {
        out << field(QStringLiteral("http://127.0.0.1:8737/gen/page/%1.htm?kb=2").arg(i))
            << field(QStringLiteral("Page %1").arg(i)) << field(QString()) << field(QString());
    }
    out << field(QStringLiteral("0")) << field(QString::number(4 + 2 * kLinks));
    for (const char *tag : {"HTML", "HEAD", "TITLE", "BODY"})
        out << field(QLatin1String(tag)) << field(QStringLiteral("E0"));
    for (int i = 0; i < kLinks; ++i)
        out << field(QStringLiteral("A")) << field(QStringLiteral("L%1").arg(i)) << field(QStringLiteral("BR"))
            << field(QStringLiteral("E0"));
    return out.join(QString());
}

void BM_SnapshotDecode32767Links(benchmark::State &bench)
{
    const QString text = bigSnapshot();
    for (auto _ : bench) {
        const std::optional<FrameSnapshot> snapshot = parseFrameSnapshot(text);
        if (!snapshot || snapshot->document->links.size() != 32767) {
            bench.SkipWithError("snapshot not read");
            return;
        }
        benchmark::DoNotOptimize(snapshot->document->all.size());
    }
    bench.counters["chars"] = double(text.size());
}
BENCHMARK(BM_SnapshotDecode32767Links)->Unit(benchmark::kMillisecond);

}  // namespace
