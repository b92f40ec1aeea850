// Checking 1,000 local partner pages of about 40 KB (fetch, parse, a database
// write each) beside `curl --parallel --parallel-max 4` fetching the same
// pages in the same run; and opening a store of 1,000 partners and 100,000
// checks as the Partners window does. Pages per second are the items per second.
#include "curlpeer.h"
#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "host/gumbo/linkscan.h"
#include "host/qt/qttimer.h"
#include "partners/checkwriter.h"
#include "partners/partnerchecker.h"
#include "partners/partnerstore.h"
#include "partners/sitematch.h"
#include "partners/verdict.h"
#include "partners/transferfetcher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace quorvane;

namespace {

constexpr int Pages = 1000;
// The checker keeps to one request at a time per server, so the pages come
// from four servers, as partners live on many hosts.
constexpr int Servers = 4;

const QStringList &serverBases()
{
    static std::vector<std::unique_ptr<QProcess>> servers;
    static const QStringList bases = [] {
        QStringList out;
        for (int i = 0; i < Servers; ++i) {
            auto server = std::make_unique<QProcess>();
            server->start(QStringLiteral(QUORVANE_TESTSERVER),
                          {QStringLiteral("--root"), QDir::tempPath(), QStringLiteral("--port"), QStringLiteral("0")});
            if (!server->waitForReadyRead(10000))
                return QStringList();
            const QString line = QString::fromUtf8(server->readLine()).trimmed();
            out.append(line.mid(13));
            servers.push_back(std::move(server));
        }
        qAddPostRoutine([] {
            for (auto &server : servers) {
                server->terminate();
                server->waitForFinished(5000);
            }
        });
        return out;
    }();
    return bases;
}

QString pageUrl(int i)
{
    return serverBases().at(i % Servers) + QStringLiteral("/partners/gen/%1").arg(i);
}

qint64 wallClock()
{
    return QDateTime::currentMSecsSinceEpoch();
}

void BM_PartnersCheck1000Pages(benchmark::State &bench)
{
    if (serverBases().size() != Servers) {
        bench.SkipWithError("test servers did not start");
        return;
    }
    QTemporaryDir dir;
    PartnerStore store;
    QString error;
    if (!store.open(dir.filePath(QStringLiteral("partners.sqlite")), &error)) {
        bench.SkipWithError(qPrintable(error));
        return;
    }
    store.begin();
    QList<Partner> partners;
    for (int i = 0; i < Pages; ++i) {
        Partner p;
        p.page = pageUrl(i);
        p.id = store.addPartner(p, 0).value_or(0);
        partners.append(p);
    }
    store.commit();
    // As the window and the command line store them: on the writer's thread.
    const auto writer = ThreadedCheckWriter::open(dir.filePath(QStringLiteral("partners.sqlite")), &error);
    if (!writer) {
        bench.SkipWithError(qPrintable(error));
        return;
    }
    QString siteError;
    const QList<OwnSite> sites = {*parseOwnSite(QStringLiteral("mysite.example"), &siteError)};

    CurlMulti multi;
    std::vector<std::unique_ptr<CurlTransfer>> transfers;
    QList<Transfer *> pointers;
    for (int i = 0; i < 4; ++i) {
        transfers.push_back(std::make_unique<CurlTransfer>(QStringLiteral("Partners%1").arg(i + 1), multi));
        pointers.append(transfers.back().get());
    }
    TransferFetcher fetcher(pointers);
    QtTimer wake(QStringLiteral("PartnersWake"));
    PartnerChecker checker(fetcher, wake, &wallClock);
    checker.setOffload(PartnerChecker::onThreadPool());
    checker.setSites(sites);
    int live = 0;
    QObject::connect(&checker, &PartnerChecker::checked, [&](const Partner &p, const CheckRecord &r) {
        writer->write(p.id, r);
        live += deriveVerdict(r) == Verdict::Live;
    });
    for (auto _ : bench) {
        live = 0;
        QEventLoop loop;
        QObject::connect(&checker, &PartnerChecker::runFinished, &loop, &QEventLoop::quit);
        checker.start(partners);
        loop.exec();
        writer->waitStored();
        if (live != Pages)
            bench.SkipWithError("a page was not live");
    }
    bench.SetItemsProcessed(bench.iterations() * Pages);
}
BENCHMARK(BM_PartnersCheck1000Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a check reads of one generated 40 KB partner page: the one-pass
// reading (0) against the full parser (1).
void BM_PartnerPageFindings(benchmark::State &bench)
{
    QString body;
    while (body.size() < 40000)
        body += QStringLiteral("<p>Generated partner page 7, a paragraph of text to make the page weigh like a real one.</p>\n");
    const QString html = QStringLiteral("<!DOCTYPE html><html><head><title>Generated partner 7</title></head><body>") + body
        + QStringLiteral("<p><a href=\"http://mysite.example/\">My Site</a></p></body></html>");
    const QString page = QStringLiteral("http://partner.test/partners/gen/7");
    for (auto _ : bench) {
        const MarkupScan scan = bench.range(0) ? scanMarkupFully(html, page) : scanMarkup(html, page);
        benchmark::DoNotOptimize(scan.links.size());
    }
}
BENCHMARK(BM_PartnerPageFindings)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same pages through the curl command line, four at a time, for comparison.
void BM_PartnersCurlParallel4Command(benchmark::State &bench)
{
    if (serverBases().size() != Servers) {
        bench.SkipWithError("the test servers did not start");
        return;
    }
    QStringList urls;
    for (int i = 0; i < Pages; ++i)
        urls.append(pageUrl(i));
    bench::runCurlParallel4(bench, urls);
}
BENCHMARK(BM_PartnersCurlParallel4Command)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the Partners window does when it opens: the store opened and every
// partner read with its current verdict.
void BM_PartnersOpenStore1000Partners100000Checks(benchmark::State &bench)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("partners.sqlite"));
    {
        PartnerStore store;
        QString error;
        if (!store.open(path, &error)) {
            bench.SkipWithError(qPrintable(error));
            return;
        }
        store.begin();
        QList<qint64> ids;
        for (int i = 0; i < 1000; ++i) {
            Partner p;
            p.page = QStringLiteral("http://partner%1.example/links.htm").arg(i);
            ids.append(store.addPartner(p, 0).value_or(0));
        }
        for (int round = 0; round < 100; ++round) {
            for (const qint64 id : ids) {
                CheckRecord r;
                r.checkedAt = qint64(round) * 3600 * 1000;
                r.answered = true;
                r.httpStatus = 200;
                r.linkFound = (round + id) % 7 != 0;
                r.anchorText = QStringLiteral("My Site");
                store.recordCheck(id, r);
            }
        }
        store.commit();
    }
    int rows = 0;
    for (auto _ : bench) {
        PartnerStore store;
        QString error;
        store.open(path, &error);
        rows = int(store.partners().size());
        benchmark::DoNotOptimize(rows);
    }
    if (rows != 1000)
        bench.SkipWithError("partners missing");
}
BENCHMARK(BM_PartnersOpenStore1000Partners100000Checks)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
