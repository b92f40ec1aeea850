#include "eventlog.h"
#include "testsupport.h"

#include "host/webengine/rendererwatch.h"
#include "host/webengine/webenginebrowser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTimer>
#include <QWebEnginePage>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace quorvane {
namespace {

constexpr qint64 MiB = 1024 * 1024;
// The logic gives a hidden reader this long for one page.
constexpr int PageTimeoutMs = 30000;

// Resident bytes of this process and all its descendants: the engine's
// zygote, renderers and helpers included.
qint64 processTreeBytes()
{
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "PID (NAME) STATE PPID ...": the name may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children[fields.at(1).toLongLong()].append(pid);
    }
    qint64 total = 0;
    QList<qint64> pending{qint64(getpid())};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeLast();
        total += std::max<qint64>(0, RendererWatch::residentBytes(pid));
        pending += children.value(pid);
    }
    return total;
}

// An HTML page of ordinary paragraphs, of about the size given.
std::string paragraphs(size_t bytes)
{
    std::string page = "<html><head><title>Paragraphs</title></head><body>\n";
    for (int i = 0; page.size() < bytes; ++i)
        page += "<p>Paragraph " + std::to_string(i) + " of a long but ordinary page, with words enough in it to "
                "make it look like one: the reader takes it as it comes and keeps the text.</p>\n";
    return page + "</body></html>\n";
}

// The highest resident memory of a reader's renderer (whichever process that
// is at the moment) and of the whole process tree while it lives.
class MemoryPeaks final : public QObject {
public:
    explicit MemoryPeaks(const WebEngineBrowser &reader) : m_reader(reader)
    {
        connect(&m_timer, &QTimer::timeout, this, &MemoryPeaks::sample);
        m_timer.start(25);
        sample();
    }
    qint64 renderer() const { return m_renderer; }
    qint64 tree() const { return m_tree; }
    // Whether every renderer seen but the reader's present one has ended.
    bool formerRenderersGone() const
    {
        const qint64 current = m_reader.page()->renderProcessPid();
        return std::none_of(m_pids.cbegin(), m_pids.cend(), [current](qint64 pid) {
            return pid != current && RendererWatch::residentBytes(pid) >= 0;
        });
    }

private:
    void sample()
    {
        const qint64 pid = m_reader.page()->renderProcessPid();
        if (pid > 0)
            m_pids.insert(pid);
        m_renderer = std::max(m_renderer, RendererWatch::residentBytes(pid));
        // Every fourth time: a walk over /proc is the costlier sample.
        if (m_samples++ % 4 == 0)
            m_tree = std::max(m_tree, processTreeBytes());
    }

    const WebEngineBrowser &m_reader;
    QTimer m_timer;
    QSet<qint64> m_pids;
    qint64 m_renderer = 0;
    qint64 m_tree = 0;
    int m_samples = 0;
};

TEST(RendererWatch, ReadsTheResidentLineOfAProcessStatus)
{
    const struct {
        const char *status;
        qint64 bytes;
    } cases[] = {
        {"Name:\tQtWebEngineProc\nVmPeak:\t  900 kB\nVmRSS:\t  123456 kB\nRssAnon:\t 1 kB\n", 123456 * 1024LL},
        {"VmRSS:\t0 kB", 0},
        {"VmRSS:\t7 kB\n", 7 * 1024},
        {"VmHWM:\t  5 kB\n", -1},
        {"VmRSS:\t  12 MB\n", -1},
        {"VmRSS:\t  -3 kB\n", -1},
        {"VmRSS:\t  99999999999999999999 kB\n", -1},
        {"VmRSS:\n", -1},
        {"", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.status);
        EXPECT_EQ(RendererWatch::parseResidentBytes(QByteArray(c.status)), c.bytes);
    }
    EXPECT_GT(RendererWatch::residentBytes(getpid()), 0);
    EXPECT_EQ(RendererWatch::residentBytes(0), -1);
}

// The text-only reader stops at its page cap; on QtWebEngine a hostile page
// once took the process tree to 5.5 GB. Each page here is given up as a failed
// load well inside the logic's time-out, its renderer kept near the limit and
// then ended, and the reader goes on to read an ordinary page.
TEST(WebEngineBrowser, AHiddenReaderGivesUpAPageBeyondItsBoundsAndReadsTheNext)
{
    // A long comment costs a renderer little more than its size.
    const std::string overCap = "<html><head><title>Comment</title></head><body><p>short</p><!--"
        + std::string(6 * MiB, 'c') + "--></body></html>";
    const std::string underCap = paragraphs(3 * MiB);
    LoopbackServer server(quickServer({{"/ordinary.html", [] {
                                return std::string("<html><head><title>Ordinary</title></head><body>"
                                                   "<p>read me</p><a href=\"/next.html\">next</a></body></html>");
                            }},
                           {"/over-cap.html", [&overCap] { return overCap; }},
                           {"/waits.html", [] {
                                return std::string("<html><head><title>Waits</title></head><body><p>loading</p>"
                                                   "<img src=\"/fault/slow?ms=20000\"></body></html>");
                            }},
                           {"/under-cap.html", [&underCap] { return underCap; }}}));
    const qint64 treeBefore = processTreeBytes();
    WebEngineBrowser reader(QStringLiteral("WebBrowser2"), WebEngineApp::profile(), false);
    EventLog log(&reader);
    const auto readTop = [&] { return waitUntil([&] { return log.contains(QStringLiteral("document top")); }, PageTimeoutMs); };

    const struct {
        const char *path;
        const char *what;
        bool killRenderer = false;
    } pages[] = {
        {"/fault/endless", "an endless page"},
        {"/fault/gzip-bomb", "a 1.5 MB gzip body inflating to 512 MiB"},
        {"/fault/bytes?n=67108864", "a 64 MB page of one word"},
        {"/over-cap.html", "a 6 MiB page, past the body cap only"},
        // Killed here mid-load, as the kernel's out-of-memory killer would.
        {"/waits.html", "a renderer that ends mid-load", true},
    };
    for (const auto &page : pages) {
        SCOPED_TRACE(page.what);
        log.clear();
        const MemoryPeaks peaks(reader);
        QElapsedTimer clock;
        clock.start();
        const QString url = urlOf(server, page.path);
        reader.navigate(url);
        if (page.killRenderer) {
            ASSERT_TRUE(waitUntil([&] {
                return runScript(reader.page(), QStringLiteral("document.readyState")).toString() == QStringLiteral("interactive");
            }));
            ASSERT_EQ(::kill(pid_t(reader.page()->renderProcessPid()), SIGKILL), 0);
        }
        const bool ended = readTop();
        const qint64 elapsed = clock.elapsed();
        std::printf("[ bound  ] %s: %s after %lld ms; renderer peak %lld MiB, process tree peak %lld MiB (%lld before)\n",
                    page.what, ended ? "over" : "still loading", static_cast<long long>(elapsed),
                    static_cast<long long>(peaks.renderer() / MiB), static_cast<long long>(peaks.tree() / MiB),
                    static_cast<long long>(treeBefore / MiB));
        ASSERT_TRUE(ended);
        EXPECT_EQ(log.events(), loadEvents(url));
        EXPECT_EQ(reader.document(), nullptr);
        EXPECT_FALSE(reader.busy());
        EXPECT_EQ(reader.locationUrl(), url);
        // The watch's check may come late by what the renderer grows meanwhile.
        // Nothing else in the process tree grows with the page but the server
        // in this process, which holds a copy or two of a sized page.
        EXPECT_LT(peaks.renderer(), WebEngineBrowser::MaxRendererBytes + 128 * MiB);
        EXPECT_LT(peaks.tree() - treeBefore, WebEngineBrowser::MaxRendererBytes + 256 * MiB);
        // The renderer that held the page goes with it, and its memory with it.
        EXPECT_TRUE(waitUntil([&] { return peaks.formerRenderersGone(); }, 10000));

        log.clear();
        reader.navigate(urlOf(server, "/ordinary.html"));
        ASSERT_TRUE(readTop());
        ASSERT_NE(reader.document(), nullptr);
        EXPECT_EQ(reader.document()->links.size(), 1);
    }

    // Under the cap a big page is read whole.
    log.clear();
    reader.navigate(urlOf(server, "/under-cap.html"));
    ASSERT_TRUE(readTop());
    ASSERT_NE(reader.document(), nullptr);
    const auto &all = reader.document()->all;
    EXPECT_GT(std::count_if(all.begin(), all.end(), [](const HtmlElement &e) { return e.tagName == QLatin1String("P"); }),
              10000);

    // A shown view loads what the user asked for, as big as it is.
    WebEngineBrowser view(QStringLiteral("WebBrowser1"), WebEngineApp::profile(), true);
    EventLog viewLog(&view);
    view.navigate(urlOf(server, "/over-cap.html"));
    ASSERT_TRUE(waitUntil([&] { return viewLog.contains(QStringLiteral("document top")); }, PageTimeoutMs));
    ASSERT_NE(view.document(), nullptr);
    EXPECT_EQ(view.document()->title, QStringLiteral("Comment"));
}

}  // namespace
}  // namespace quorvane
