#pragma once

#include "checkrecord.h"
#include "pagefetcher.h"
#include "partner.h"
#include "sitematch.h"

#include "core/robotstxt.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace quorvane {

class Timer;

// Checks partner pages: as many at a time as the fetcher allows (four), at
// most one request at a time per server (host and port), robots.txt read
// once per origin and run, transient failures retried with doubling back-off
// and Retry-After obeyed up to a limit. A chain of handlers on one wake-up
// timer; nothing waits.
class PartnerChecker final : public QObject {
    Q_OBJECT
public:
    struct Options {
        int maxPageBytes = 8 * 1024 * 1024;
        int timeoutMs = 30000;
        int maxAttempts = 4;
        int backoffMs = 2000;          // before the second attempt; doubles after
        int maxRetryAfterMs = 30000;   // a longer Retry-After gives the partner up for this run
    };

    PartnerChecker(PageFetcher &fetcher, Timer &wake, std::function<qint64()> now, Options options,
                   QObject *parent = nullptr);
    PartnerChecker(PageFetcher &fetcher, Timer &wake, std::function<qint64()> now, QObject *parent = nullptr)
        : PartnerChecker(fetcher, wake, std::move(now), Options(), parent)
    {
    }
    ~PartnerChecker() override;

    // Runs work (the parse of a page) and hands its result to done on this
    // thread, later or at once.
    using Offload = std::function<void(std::function<CheckRecord()> work, std::function<void(CheckRecord)> done)>;
    static Offload inPlace();       // at once, on this thread (the default)
    static Offload onThreadPool();  // on Qt's global thread pool, so that a large page never stalls the window
    void setOffload(Offload offload) { m_offload = std::move(offload); }

    // The user's own sites, for partners that name none.
    void setSites(const QList<OwnSite> &sites) { m_sites = sites; }
    // Optional: makes checks whose link is missing from the markup look at the rendered page.
    void setRenderedLinks(RenderedLinks *rendered) { m_rendered = rendered; }

    void start(const QList<Partner> &partners);
    void cancel();
    bool running() const { return m_running; }
    int total() const { return m_total; }
    int finishedCount() const { return m_finished; }

signals:
    void checked(const quorvane::Partner &partner, const quorvane::CheckRecord &record);
    void progress(int finished, int total);
    void runFinished(bool cancelled);

private:
    struct Job {
        Partner partner;
        QList<OwnSite> sites;
        QString origin;     // scheme://host:port, for robots.txt
        int server = 0;     // one request at a time per server (host and port)
        int attempts = 0;
        qint64 notBefore = 0;
        bool fetchingRobots = false;
        std::optional<CheckRecord> record;  // waiting for the rendered check
    };
    struct InFlight {
        int ticket = 0;
        qint64 deadline = 0;
        Job job;
    };
    // Present once asked for; allows everything until read.
    struct Robots {
        RobotsTxt rules;
    };

    void pump();
    void armWake();
    void onWake();
    void startJob(Job job);
    void onReply(int ticket, const FetchReply &reply);
    void onRobots(Job job, const FetchReply &reply);
    void onPage(Job job, const FetchReply &reply);
    void onParsed(Job job, CheckRecord record);
    void onFindings(Job job, CheckRecord record);
    void retryOrGiveUp(Job job, const FetchReply &reply);
    void complete(Job job, CheckRecord record);
    void pumpRendered();
    void finishIfDone();

    PageFetcher &m_fetcher;
    Timer &m_wake;
    qint64 m_wakeAt = 0;  // when m_wake fires, while it is enabled
    std::function<qint64()> m_now;
    Options m_options;
    QList<OwnSite> m_sites;
    RenderedLinks *m_rendered = nullptr;
    Offload m_offload;

    bool m_running = false;
    quint64 m_run = 0;   // bumped by each start and cancel
    int m_parsing = 0;   // pages whose findings have not come back
    int m_total = 0;
    int m_finished = 0;
    std::deque<Job> m_queue;
    int m_backingOff = 0;  // jobs in the queue with a notBefore, the only ones a wake waits for
    QHash<int, InFlight> m_inFlight;
    // Servers by number: the queue is scanned at every reply, so the test is cheap.
    QHash<QString, int> m_servers;
    std::vector<char> m_busyServers;
    QHash<QString, Robots> m_robots;
    std::deque<Job> m_renderQueue;
    bool m_rendering = false;
};

}  // namespace quorvane
