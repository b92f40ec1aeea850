// The keyword search over 1,000 local pages of about 40 KB with four transfer
// slots, beside `curl --parallel --parallel-max 4` fetching the same pages from
// the same server; and the report run through WebBrowser2 on the text-only
// engine. Pages per second are the items per second.
#include "crawler/crawler.h"
#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "host/fake/fakehost.h"
#include "host/textengine/textbrowser.h"
#include "shell/windowstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QEventLoop>
#include <QTemporaryFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

using namespace quorvane;

namespace {
constexpr int Pages = 1000;
constexpr int PageKb = 40;

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "quorvane_bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

// The pages come from the test server in a process of its own, as from a web
// server: in this process its threads would take cores from the crawler, which
// the curl command it is compared with does not have to share.
QString serverBase()
{
    static QProcess server;
    static const QString base = [] {
        server.start(QStringLiteral(QUORVANE_TESTSERVER),
                     {QStringLiteral("--root"), QDir::tempPath(), QStringLiteral("--port"), QStringLiteral("0")});
        if (!server.waitForReadyRead(10000))
            return QString();
        const QString line = QString::fromUtf8(server.readLine()).trimmed();
        return line.startsWith(QLatin1String("listening on ")) ? line.mid(13) : QString();
    }();
    return base;
}

QString pageUrl(int i, int kb = PageKb)
{
    return serverBase() + QStringLiteral("/gen/page/%1.htm?kb=%2").arg(i).arg(kb);
}

// Every question is answered No; the first one ends the measured run.
class QuitServices final : public WindowServices {
public:
    QEventLoop *loop = nullptr;
    Answer messageBox(const QString &, const QString &, Buttons) override
    {
        if (loop)
            loop->quit();
        return Answer::No;
    }
    std::optional<QString> inputBox(const QString &, const QString &, bool, const QString &) override { return {}; }
    QString openFileDialog(const QString &) override { return {}; }
    QString saveFileDialog(const QString &) override { return {}; }
    void popupMenu(const QString &) override {}
    void beep() override {}
    bool startProgram(const QString &, const QStringList &) override { return false; }
};

// Browser 1 as a plain text sink: the fake browser re-parses everything written
// at each write, which would measure the fake rather than the report run.
class SinkBrowser final : public Browser {
public:
    QString name() const override { return QStringLiteral("WebBrowser1"); }
    void navigate(const QString &) override {}
    void goBack() override {}
    void goForward() override {}
    void refresh() override {}
    void stop() override {}
    void runPageCommand(PageCommand) override {}
    QString locationName() const override { return {}; }
    QString locationUrl() const override { return {}; }
    bool busy() const override { return false; }
    DocumentPtr document() const override { return nullptr; }
    void closeDocument() override { written.clear(); }
    void writeDocument(const QString &html) override { written += html; }
    bool isVisible() const override { return true; }
    void setVisible(bool) override {}

    QString written;
};

// Real transfers for the slots and a text-only WebBrowser2; everything else fake.
class BenchHost final : public Host {
public:
    BenchHost()
    {
        for (int i = 1; i <= Crawler::SlotCount; ++i)
            m_inets[i] = std::make_unique<CurlTransfer>(QStringLiteral("Inet%1").arg(i), m_multi);
        CurlMulti *multi = &m_multi;
        m_reader = std::make_unique<TextBrowser>(QStringLiteral("WebBrowser2"), [multi] {
            return std::make_unique<CurlTransfer>(QStringLiteral("fetch"), *multi);
        });
    }
    Browser *browser(const QString &name) override
    {
        if (name == QLatin1String("WebBrowser1"))
            return &m_main;
        return name == QLatin1String("WebBrowser2") ? m_reader.get() : m_fake.browser(name);
    }
    Transfer *transfer(int n) override
    {
        return n >= 1 && n <= Crawler::SlotCount ? m_inets[n].get() : m_fake.transfer(n);
    }
    Timer *timer(int n) override { return m_fake.timer(n); }
    WindowServices &services() override { return m_services; }

    QuitServices m_services;

private:
    FakeHost m_fake;
    SinkBrowser m_main;
    CurlMulti m_multi;
    std::unique_ptr<CurlTransfer> m_inets[Crawler::SlotCount + 1];
    std::unique_ptr<TextBrowser> m_reader;
};

void BM_KeywordSearch1000Pages(benchmark::State &bench)
{
    ensureApplication();
    QStringList urls;
    for (int i = 0; i < Pages; ++i)
        urls.append(pageUrl(i));
    BenchHost host;
    for (auto _ : bench) {
        WindowState state;
        Crawler crawler(state, host);
        state.listlinks.setItems(urls);
        state.Combo1.list.setItems({QStringLiteral("absent word"), QStringLiteral("quorvanekey")});
        QEventLoop loop;
        host.m_services.loop = &loop;
        crawler.readit_Click();
        loop.exec();
        host.m_services.loop = nullptr;
        if (!state.listlinks.isEmpty() || state.List1.count() != 0)
            bench.SkipWithError("unexpected result");
    }
    bench.SetItemsProcessed(bench.iterations() * Pages);
}
BENCHMARK(BM_KeywordSearch1000Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same pages through the curl command line, four at a time, for comparison.
void BM_CurlParallel4Command(benchmark::State &bench)
{
    if (std::system("command -v curl >/dev/null 2>&1") != 0) {
        bench.SkipWithError("curl not installed");
        return;
    }
    QTemporaryFile config;
    if (!config.open()) {
        bench.SkipWithError("no temporary file");
        return;
    }
    for (int i = 0; i < Pages; ++i)
        config.write(QByteArray("url = \"") + pageUrl(i).toUtf8() + "\"\noutput = \"/dev/null\"\n");
    config.flush();
    const std::string command =
        "curl -s --parallel --parallel-max 4 -K " + config.fileName().toStdString() + " 2>/dev/null";
    for (auto _ : bench) {
        if (std::system(command.c_str()) != 0)
            bench.SkipWithError("curl failed");
    }
    bench.SetItemsProcessed(bench.iterations() * Pages);
}
BENCHMARK(BM_CurlParallel4Command)->Unit(benchmark::kMillisecond)->UseRealTime();

// The report run: WebBrowser2 on the text-only engine loads each queued page,
// page analysis turns it into rows, the table goes to Browser 1 at the end.
// The argument is the page size in kilobytes.
void BM_ReportRunTextEngine(benchmark::State &bench)
{
    ensureApplication();
    constexpr int ReportPages = 300;
    BenchHost host;
    for (auto _ : bench) {
        WindowState state;
        Crawler crawler(state, host);
        for (int i = 0; i < ReportPages; ++i)
            state.List4.add(pageUrl(i, int(bench.range(0))));
        state.Combo1.list.setItems({QStringLiteral("quorvanekey")});
        state.keywordMode = 1;
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (state.keywordMode == 0)
                loop.quit();
        });
        poll.start(1);
        crawler.readNextQueuedPage();
        loop.exec();
        if (state.List3.count() < 2 * ReportPages)
            bench.SkipWithError("pages missing from the report");
    }
    bench.SetItemsProcessed(bench.iterations() * ReportPages);
}
BENCHMARK(BM_ReportRunTextEngine)->Arg(2)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
