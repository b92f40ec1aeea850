// What the crawler benchmarks share: the test server in a process of its own,
// the generated pages' addresses, and a host with real transfers for the slots
// and a given WebBrowser2, everything else fake.
#pragma once

#include "core/windowstate.h"
#include "crawler/crawler.h"
#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "support/fakehost.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace quorvane::bench {

// The pages come from the test server in a process of its own, as from a web
// server: in this process its threads would take cores from the crawler, which
// the curl command it is compared with does not have to share.
inline QString serverBase()
{
    static QProcess server;
    static const QString base = [] {
        server.start(QStringLiteral(QUORVANE_TESTSERVER),
                     {QStringLiteral("--root"), QDir::tempPath(), QStringLiteral("--port"), QStringLiteral("0")});
        if (!server.waitForReadyRead(10000))
            return QString();
        // Stopped with the application rather than killed with the statics.
        qAddPostRoutine([] {
            server.terminate();
            server.waitForFinished(5000);
        });
        const QString line = QString::fromUtf8(server.readLine()).trimmed();
        return line.startsWith(QLatin1String("listening on ")) ? line.mid(13) : QString();
    }();
    return base;
}

inline QString pageUrl(int i, int kb)
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

// Browser 1 as a plain text sink: the fake browser parses what is written when
// it is read, which would measure the fake rather than the report run.
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

// Real transfers for the slots and the given WebBrowser2; everything else fake.
class BenchHost final : public Host {
public:
    // Makes WebBrowser2; it may fetch through the multi handle it is given.
    using ReaderFactory = std::function<std::unique_ptr<Browser>(CurlMulti &)>;

    explicit BenchHost(const ReaderFactory &makeReader)
    {
        for (int k = 1; k <= ReaderSlotCount; ++k)
            m_inets[k] = std::make_unique<CurlTransfer>(controlName(readerSlot(k)), m_multi);
        m_reader = makeReader(m_multi);
    }
    Browser *browser(BrowserId id) override
    {
        if (id == BrowserId::MainView)
            return &m_main;
        return id == BrowserId::PageReader ? m_reader.get() : m_fake.browser(id);
    }
    Transfer *transfer(TransferSlot slot) override
    {
        const int n = static_cast<int>(slot);
        return n <= ReaderSlotCount ? m_inets[n].get() : m_fake.transfer(slot);
    }
    Timer *timer(TimerId id) override { return m_fake.timer(id); }
    WindowServices &services() override { return m_services; }

    QuitServices m_services;

private:
    FakeHost m_fake;
    SinkBrowser m_main;
    CurlMulti m_multi;
    std::unique_ptr<CurlTransfer> m_inets[Crawler::SlotCount + 1];
    std::unique_ptr<Browser> m_reader;
};

// The report run: WebBrowser2 loads each queued page of kb kilobytes, page
// analysis turns it into rows, the table goes to Browser 1 at the end.
inline void runReport(benchmark::State &bench, const BenchHost::ReaderFactory &makeReader, int pages, int kb)
{
    BenchHost host(makeReader);
    for (auto _ : bench) {
        WindowState state;
        Crawler crawler(state, host);
        for (int i = 0; i < pages; ++i)
            state.List4.add(pageUrl(i, kb));
        state.Combo1.list.setItems({QStringLiteral("quorvanekey")});
        state.setKeywordMode(true);
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!state.keywordMode())
                loop.quit();
        });
        poll.start(1);
        crawler.readNextQueuedPage();
        loop.exec();
        if (state.List3.count() < 2 * pages)
            bench.SkipWithError("pages missing from the report");
    }
    bench.SetItemsProcessed(bench.iterations() * pages);
}

}  // namespace quorvane::bench
