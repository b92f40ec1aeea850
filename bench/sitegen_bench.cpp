#include "sitegen/cardprofile.h"
#include "sitegen/shoppages.h"
#include "sitegen/sitegeneration.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quorvane;

// Generate for a shop of 10,000 items, files written to disk; target under 200 ms.
static void BM_GenerateSite10000Items(benchmark::State &state)
{
    CardProfile card(QStringLiteral("gateway.example.invalid"), QStringLiteral("login"));
    ShopDescription shop;
    shop.category = QStringLiteral(" Bench Shop ");
    shop.goBack = QStringLiteral("http://example.com/");
    shop.email = QStringLiteral("orders@example.com");
    shop.tableStyle = card.tableStyle();
    shop.fontStyle = card.fontStyle();
    shop.formAction = card.formAction();
    shop.entries.append(shoppages::headerLine());
    for (int i = 1; i <= 10000; ++i)
        shop.entries.append(QStringLiteral("ID%1,Item \"number\" %1,%1.25,img/%1.gif,item%1.htm,").arg(i));
    QTemporaryDir dir;
    for (auto _ : state) {
        const GenerationReport report = generateSite(shop, dir.path(), QStringLiteral("online"));
        if (!report.message.isEmpty())
            state.SkipWithError("generation failed");
    }
}
BENCHMARK(BM_GenerateSite10000Items)->Unit(benchmark::kMillisecond);
