// The program as a user runs it: the quorvane window offscreen, driven by an
// automation script whose marks time a stretch of it, each beside its peer in
// the same run. The keyword search over the generated site's pages of 2 KB is
// set beside `curl --parallel --parallel-max 4` fetching the same addresses;
// opening and harvesting the page of 32,767 links beside a plain QtWebEngine
// view loading that page, which takes no snapshot. Medians are reported as
// counters; vs_peer is how fast the window is against its peer (peer time /
// window time: 1.0 is as fast). Memory is the proportional set size of the
// window's whole process tree (the web engine's processes included), idle and
// with the links harvested.
#include "../benchmain.h"
#include "../crawlerbench.h"
#include "support/qtapp/webengineapp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <unistd.h>
#include <vector>

using namespace quorvane;
using namespace quorvane::bench;

namespace {

constexpr int HarvestLinks = 32767;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString hostPort()
{
    return serverBase().mid(int(qstrlen("http://")));
}

// Proportional set size in MiB of pid and its descendants (or pid alone).
double pssMiB(qint64 pid, bool withChildren)
{
    std::vector<qint64> pids{pid};
    if (withChildren) {
        std::map<qint64, std::vector<qint64>> children;
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool ok = false;
            const qint64 child = entry.toLongLong(&ok);
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            if (!ok || !stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = stat.readAll();
            // "pid (name) state ppid ...": the name may hold blanks.
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1)
                children[fields.at(1).toLongLong()].push_back(child);
        }
        for (size_t i = 0; i < pids.size(); ++i) {
            for (qint64 c : children[pids[i]])
                pids.push_back(c);
        }
    }
    double kib = 0;
    for (qint64 p : pids) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(p));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : rollup.readAll().split('\n')) {
            if (line.startsWith("Pss:"))
                kib += line.mid(4).trimmed().split(' ').value(0).toDouble();
        }
    }
    return kib / 1024;
}

struct WindowRun {
    std::map<QString, double> marks;  // ms since the script began
    QJsonObject dump;                 // of the script's "dump" to DUMP
    QString error;
};

// Runs the window with script (DUMP stands for the dump file's path); onMark
// is called with the program's process id as each mark is printed.
WindowRun runWindow(const QString &script, const std::function<void(const QString &, qint64)> &onMark = {})
{
    WindowRun run;
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    const QString dumpPath = dir.filePath(QStringLiteral("dump.json"));
    QFile scriptFile(dir.filePath(QStringLiteral("script.txt")));
    if (!scriptFile.open(QIODevice::WriteOnly)) {
        run.error = QStringLiteral("cannot write the script");
        return run;
    }
    scriptFile.write(QString(script).replace(QStringLiteral("DUMP"), dumpPath).toUtf8());
    scriptFile.close();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (::geteuid() == 0)
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Another build of the program can be measured against the same peers.
    const QString binary = !qEnvironmentVariableIsEmpty("QUORVANE_BENCH_PROGRAM")
                               ? qEnvironmentVariable("QUORVANE_BENCH_PROGRAM")
                               : QStringLiteral(QUORVANE_BIN);
    program.start(binary,
                  {QStringLiteral("--program-folder"), dir.filePath(QStringLiteral("folder")),
                   QStringLiteral("--home-site"), hostPort(), QStringLiteral("--translation-host"), hostPort(),
                   QStringLiteral("--script"), scriptFile.fileName()});
    QByteArray pending;
    while (program.state() != QProcess::NotRunning || program.bytesAvailable() > 0) {
        program.waitForReadyRead(100);
        pending += program.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = pending.left(end).split(' ');
            pending.remove(0, end + 1);
            if (words.size() == 3 && words.at(0) == "mark") {
                const QString name = QString::fromUtf8(words.at(1));
                run.marks[name] = words.at(2).toDouble();
                if (onMark)
                    onMark(name, program.processId());
            }
        }
    }
    if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0)
        run.error = QStringLiteral("the window's script failed");
    QFile dump(dumpPath);
    if (dump.open(QIODevice::ReadOnly))
        run.dump = QJsonDocument::fromJson(dump.readAll()).object();
    return run;
}

double stretch(const WindowRun &run, const char *from, const char *to)
{
    const auto a = run.marks.find(QString::fromLatin1(from));
    const auto b = run.marks.find(QString::fromLatin1(to));
    return a == run.marks.end() || b == run.marks.end() ? -1 : b->second - a->second;
}

// curl fetching the addresses four at a time; ms, or -1.
double curlMs(const QStringList &urls)
{
    QTemporaryFile config;
    if (!config.open())
        return -1;
    for (const QString &url : urls)
        config.write(QByteArray("url = \"") + url.toUtf8() + "\"\noutput = \"/dev/null\"\n");
    config.flush();
    const std::string command =
        "curl -s --parallel --parallel-max 4 -K " + config.fileName().toStdString() + " 2>/dev/null";
    QElapsedTimer clock;
    clock.start();
    if (std::system(command.c_str()) != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e6;
}

// Arguments: pages, whether a third of them hold the word searched for, and
// the pages' size in kilobytes.
void BM_WindowKeywordSearch(benchmark::State &bench)
{
    const int pages = int(bench.range(0));
    const bool matching = bench.range(1) != 0;
    const int kb = int(bench.range(2));
    if (std::system("command -v curl >/dev/null 2>&1") != 0) {
        bench.SkipWithError("curl not installed");
        return;
    }
    QStringList urls;
    for (int i = 0; i < pages; ++i)
        urls.append(pageUrl(i, kb));
    const QString script = QStringLiteral(
                               "wait-idle 60000\n"
                               "navigate WebBrowser1 %1/gen/index.htm?n=%2&kb=%4\n"
                               "wait-load WebBrowser1 120000\n"
                               "menu getlinks\n"
                               "type Combo1 %3\n"
                               "key Combo1 Enter\n"
                               "answer no\n"
                               "mark search\n"
                               "menu readit\n"
                               "wait-message 600000\n"
                               "mark found\n"
                               "dump DUMP\n")
                               .arg(serverBase())
                               .arg(pages)
                               .arg(matching ? QStringLiteral("quorvanekey") : QStringLiteral("absentword"))
                               .arg(kb);
    const int expected = matching ? (pages + 2) / 3 : 0;
    std::vector<double> window, curl;
    for (auto _ : bench) {
        const WindowRun run = runWindow(script);
        const double ms = stretch(run, "search", "found");
        const int found = int(run.dump.value(QStringLiteral("List1")).toObject().value(QStringLiteral("items")).toArray().size());
        if (!run.error.isEmpty() || ms < 0 || found != expected) {
            bench.SkipWithError(qPrintable(QStringLiteral("window run: %1, %2 found of %3").arg(run.error).arg(found).arg(expected)));
            return;
        }
        const double peer = curlMs(urls);
        if (peer < 0) {
            bench.SkipWithError("curl failed");
            return;
        }
        window.push_back(ms);
        curl.push_back(peer);
        std::fprintf(stderr, "window %.1f ms, curl %.1f ms\n", ms, peer);
        bench.SetIterationTime(ms / 1000);
    }
    bench.counters["window_ms"] = median(window);
    bench.counters["curl_ms"] = median(curl);
    bench.counters["vs_peer"] = median(curl) / median(window);
    bench.counters["window_ms_per_1000_pages"] = median(window) * 1000 / pages;
    bench.SetItemsProcessed(bench.iterations() * pages);
}
BENCHMARK(BM_WindowKeywordSearch)
    ->ArgNames({"pages", "matching", "kb"})
    ->Args({1000, 1, 2})
    ->Args({10000, 1, 2})
    ->Args({1000, 0, 2})
    ->Args({10000, 0, 2})
    ->Args({5000, 0, 40})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A plain view loading url: ms from load() to loadFinished, or -1.
double plainLoadMs(QWebEngineView &view, const QString &url)
{
    QEventLoop loop;
    bool ok = false;
    const auto connection = QObject::connect(view.page(), &QWebEnginePage::loadFinished, &loop, [&](bool success) {
        ok = success;
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    view.load(QUrl(url));
    loop.exec();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    QObject::disconnect(connection);
    return ok ? ms : -1;
}

void BM_WindowOpenAndHarvest32767Links(benchmark::State &bench)
{
    const QString page = serverBase() + QStringLiteral("/gen/index.htm?n=%1").arg(HarvestLinks);
    const QString script = QStringLiteral(
                               "wait-idle 60000\n"
                               "navigate WebBrowser1 %1/gen/index.htm?n=1\n"
                               "wait-load WebBrowser1 60000\n"
                               "wait 1500\n"
                               "mark idle\n"
                               "wait 500\n"
                               "mark open\n"
                               "navigate WebBrowser1 %2\n"
                               "wait-document WebBrowser1 120000\n"
                               "menu getlinks\n"
                               "mark harvested\n"
                               "wait 1500\n"
                               "mark settled\n"
                               "wait 500\n"
                               "dump DUMP\n")
                               .arg(serverBase(), page);
    // The peer: a view of the same size in this process, its renderer started
    // on the same site first as the window's is.
    QWebEngineView view(new QWebEnginePage(WebEngineApp::profile()), nullptr);
    view.resize(1000, 600);
    view.show();
    plainLoadMs(view, serverBase() + QStringLiteral("/gen/index.htm?n=1"));
    std::vector<double> window, plain, idleTree, settledTree, idleMain, settledMain;
    for (auto _ : bench) {
        const WindowRun run = runWindow(script, [&](const QString &mark, qint64 pid) {
            if (mark == QLatin1String("idle")) {
                idleTree.push_back(pssMiB(pid, true));
                idleMain.push_back(pssMiB(pid, false));
            } else if (mark == QLatin1String("settled")) {
                settledTree.push_back(pssMiB(pid, true));
                settledMain.push_back(pssMiB(pid, false));
            }
        });
        const double ms = stretch(run, "open", "harvested");
        const int links = int(run.dump.value(QStringLiteral("listlinks")).toObject().value(QStringLiteral("items")).toArray().size());
        if (!run.error.isEmpty() || ms < 0 || links != HarvestLinks) {
            bench.SkipWithError(qPrintable(QStringLiteral("window run: %1, %2 links").arg(run.error).arg(links)));
            return;
        }
        const double peer = plainLoadMs(view, page);
        plainLoadMs(view, serverBase() + QStringLiteral("/gen/index.htm?n=1"));
        if (peer < 0) {
            bench.SkipWithError("plain load failed");
            return;
        }
        window.push_back(ms);
        plain.push_back(peer);
        std::fprintf(stderr, "window %.1f ms, plain load %.1f ms\n", ms, peer);
        bench.SetIterationTime(ms / 1000);
    }
    bench.counters["window_ms"] = median(window);
    bench.counters["plain_load_ms"] = median(plain);
    bench.counters["vs_peer"] = median(plain) / median(window);
    bench.counters["pss_tree_idle_MiB"] = median(idleTree);
    bench.counters["pss_tree_harvested_MiB"] = median(settledTree);
    bench.counters["pss_main_idle_MiB"] = median(idleMain);
    bench.counters["pss_main_harvested_MiB"] = median(settledMain);
}
BENCHMARK(BM_WindowOpenAndHarvest32767Links)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    WebEngineApp app(argc, argv);
    return runBenchmarks(argc, argv);
}
