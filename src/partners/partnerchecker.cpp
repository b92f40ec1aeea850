#include "partnerchecker.h"

#include "pagefindings.h"
#include "verdict.h"

#include "core/retryafter.h"
#include "host/timer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <memory>

namespace quorvane {

namespace {

constexpr int RobotsMaxBytes = 512 * 1024;

QString originOf(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme + QStringLiteral("://") + url.host().toLower() + u':'
        + QString::number(url.port(scheme == u"https" ? 443 : 80));
}

}  // namespace

PartnerChecker::Offload PartnerChecker::inPlace()
{
    return [](std::function<CheckRecord()> work, std::function<void(CheckRecord)> done) { done(work()); };
}

PartnerChecker::Offload PartnerChecker::onThreadPool()
{
    return [](std::function<CheckRecord()> work, std::function<void(CheckRecord)> done) {
        // The findings come back through the application object, which outlives
        // any checker; a checker gone by then drops them (done holds a guard).
        QThreadPool::globalInstance()->start([work = std::move(work), done = std::move(done)]() mutable {
            CheckRecord record = work();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [done = std::move(done), record = std::move(record)]() mutable { done(std::move(record)); },
                Qt::QueuedConnection);
        });
    };
}

PartnerChecker::PartnerChecker(PageFetcher &fetcher, Timer &wake, std::function<qint64()> now, Options options,
                               QObject *parent)
    : QObject(parent), m_fetcher(fetcher), m_wake(wake), m_now(std::move(now)), m_options(options),
      m_offload(inPlace())
{
    connect(&m_wake, &Timer::timeout, this, &PartnerChecker::onWake);
}

PartnerChecker::~PartnerChecker()
{
    cancel();
}

void PartnerChecker::start(const QList<Partner> &partners)
{
    cancel();
    m_running = true;
    m_total = int(partners.size());
    m_finished = 0;
    m_robots.clear();
    m_servers.clear();
    for (const Partner &partner : partners) {
        Job job;
        job.partner = partner;
        const QUrl page(partner.page);
        job.origin = originOf(page);
        // One server is a host and port: the same name on another port is another server.
        const QString server =
            page.host().toLower() + u':' + QString::number(page.port(page.scheme().toLower() == u"https" ? 443 : 80));
        job.server = int(m_servers.size());
        if (const auto known = m_servers.constFind(server); known != m_servers.constEnd())
            job.server = *known;
        else
            m_servers.insert(server, job.server);
        if (partner.site.trimmed().isEmpty()) {
            job.sites = m_sites;
        } else {
            QString error;
            if (const auto entry = parseOwnSite(partner.site, &error))
                job.sites = {*entry};
        }
        m_queue.push_back(std::move(job));
    }
    m_busyServers.assign(size_t(m_servers.size()), 0);
    emit progress(0, m_total);
    pump();
    finishIfDone();
}

void PartnerChecker::cancel()
{
    const bool wasRunning = m_running;
    m_running = false;
    ++m_run;
    m_parsing = 0;
    m_wake.setEnabled(false);
    const auto inFlight = m_inFlight;
    m_inFlight.clear();
    for (const InFlight &f : inFlight)
        m_fetcher.cancel(f.ticket);
    if (m_rendering && m_rendered)
        m_rendered->cancel();
    m_rendering = false;
    m_queue.clear();
    m_backingOff = 0;
    m_renderQueue.clear();
    m_busyServers.assign(m_busyServers.size(), 0);
    if (wasRunning)
        emit runFinished(true);
}

void PartnerChecker::pump()
{
    if (!m_running)
        return;
    const qint64 now = m_now();
    while (m_inFlight.size() < m_fetcher.capacity()) {
        auto ready = std::find_if(m_queue.begin(), m_queue.end(), [&](const Job &job) {
            return job.notBefore <= now && !m_busyServers[size_t(job.server)];
        });
        if (ready == m_queue.end())
            break;
        Job job = std::move(*ready);
        m_queue.erase(ready);
        m_backingOff -= job.notBefore > 0 ? 1 : 0;
        startJob(std::move(job));
        if (!m_running)
            return;
    }
    armWake();
}

void PartnerChecker::startJob(Job job)
{
    const auto robots = m_robots.constFind(job.origin);
    QString url = job.partner.page;
    int maxBytes = m_options.maxPageBytes;
    job.fetchingRobots = robots == m_robots.constEnd();
    if (job.fetchingRobots) {
        m_robots.insert(job.origin, Robots());
        url = job.origin + QStringLiteral("/robots.txt");
        maxBytes = RobotsMaxBytes;
    } else {
        ++job.attempts;
    }
    m_busyServers[size_t(job.server)] = 1;
    InFlight flight;
    flight.deadline = m_now() + m_options.timeoutMs;
    flight.job = std::move(job);
    // The ticket is known only after fetch() returns; replies come later, from the event loop.
    auto ticket = std::make_shared<int>(0);
    *ticket = m_fetcher.fetch(url, maxBytes, [this, ticket](const FetchReply &reply) {
        onReply(*ticket, reply);
        pump();
        finishIfDone();
    });
    flight.ticket = *ticket;
    m_inFlight.insert(*ticket, std::move(flight));
}

void PartnerChecker::armWake()
{
    qint64 earliest = std::numeric_limits<qint64>::max();
    for (const InFlight &f : m_inFlight)
        earliest = std::min(earliest, f.deadline);
    // A job ready now starts when a transfer or its server comes free, at a
    // reply: only one waiting out a back-off needs the timer. Counting ready
    // ones too woke the checker every millisecond while four other hosts ran.
    const qint64 now = m_now();
    for (auto it = m_queue.cbegin(); m_backingOff > 0 && it != m_queue.cend(); ++it) {
        if (it->notBefore > now && !m_busyServers[size_t(it->server)])
            earliest = std::min(earliest, it->notBefore);
    }
    if (earliest == std::numeric_limits<qint64>::max()) {
        m_wake.setEnabled(false);
        return;
    }
    // A wake already due no later stays: an early wake only looks again, and
    // re-arming the timer at every reply costs more than the check.
    if (m_wake.enabled() && m_wakeAt <= earliest)
        return;
    const qint64 wait = std::clamp<qint64>(earliest - now, 1, std::numeric_limits<int>::max());
    m_wake.setEnabled(false);
    m_wake.setInterval(int(wait));
    m_wake.setEnabled(true);
    m_wakeAt = now + wait;
}

void PartnerChecker::onWake()
{
    m_wake.setEnabled(false);
    if (!m_running)
        return;
    const qint64 now = m_now();
    QList<int> expired;
    for (auto it = m_inFlight.cbegin(); it != m_inFlight.cend(); ++it) {
        if (it->deadline <= now)
            expired.append(it.key());
    }
    for (const int ticket : expired) {
        m_fetcher.cancel(ticket);
        FetchReply timedOut;
        timedOut.error = QStringLiteral("no answer within %1 s").arg(m_options.timeoutMs / 1000.0);
        onReply(ticket, timedOut);
    }
    pump();
    finishIfDone();
}

void PartnerChecker::onReply(int ticket, const FetchReply &reply)
{
    const auto it = m_inFlight.find(ticket);
    if (it == m_inFlight.end())
        return;
    Job job = std::move(it->job);
    m_inFlight.erase(it);
    m_busyServers[size_t(job.server)] = 0;
    if (job.fetchingRobots)
        onRobots(std::move(job), reply);
    else
        onPage(std::move(job), reply);
}

void PartnerChecker::onRobots(Job job, const FetchReply &reply)
{
    Robots &robots = m_robots[job.origin];
    // Only a 2xx file has rules, those of the "*" group. 4xx means none; a
    // failure or 5xx leaves the page unjudged rather than calling a passing
    // server error a block.
    if (reply.answered && reply.httpStatus >= 200 && reply.httpStatus < 300)
        robots.rules = RobotsTxt::parse(reply.body, QStringLiteral("*"));
    // The page goes first among the waiting ones of this host.
    job.fetchingRobots = false;
    m_backingOff += job.notBefore > 0 ? 1 : 0;
    m_queue.push_front(std::move(job));
}

void PartnerChecker::onPage(Job job, const FetchReply &reply)
{
    const bool transient = !reply.answered || isTransientStatus(reply.httpStatus);
    if (transient) {
        retryOrGiveUp(std::move(job), reply);
        return;
    }
    // Parsing a large page takes a while: it may run elsewhere, and the run
    // goes on when its findings come back.
    ++m_parsing;
    const quint64 run = m_run;
    auto work = [reply, page = job.partner.page, sites = job.sites, anchor = job.partner.anchor] {
        return readFindings(reply, page, sites, anchor);
    };
    auto done = [self = QPointer<PartnerChecker>(this), run, job = std::move(job)](CheckRecord record) mutable {
        if (!self || run != self->m_run)
            return;  // from a checker gone or a run since cancelled
        self->onParsed(std::move(job), std::move(record));
    };
    m_offload(std::move(work), std::move(done));
}

void PartnerChecker::onParsed(Job job, CheckRecord record)
{
    --m_parsing;
    onFindings(std::move(job), std::move(record));
    pump();
    finishIfDone();
}

void PartnerChecker::onFindings(Job job, CheckRecord record)
{
    record.attempts = job.attempts;
    if (!m_robots.value(job.origin).rules.allows(job.partner.page))
        record.robots.append(QStringLiteral("robots.txt"));
    if (m_rendered && record.httpStatus >= 200 && record.httpStatus < 300 && !record.linkFound
        && !record.movedOffSite && !record.parked && !record.soft404) {
        job.record = record;
        m_renderQueue.push_back(std::move(job));
        pumpRendered();
        return;
    }
    complete(std::move(job), std::move(record));
}

void PartnerChecker::retryOrGiveUp(Job job, const FetchReply &reply)
{
    const QString why = reply.answered ? QStringLiteral("HTTP %1").arg(reply.httpStatus) : reply.error;
    qint64 delay = qint64(m_options.backoffMs) << std::min(job.attempts - 1, 20);
    bool giveUp = job.attempts >= m_options.maxAttempts;
    QString error = why;
    if (reply.answered && (reply.httpStatus == 429 || reply.httpStatus == 503)) {
        // Capped far above the limit, so that a delay past it is told apart.
        constexpr int Year = 366 * 24 * 3600;
        const QDateTime now = QDateTime::fromMSecsSinceEpoch(m_now(), Qt::UTC);
        if (const auto after = retryAfterSeconds(reply.header("Retry-After"), now, Year)) {
            const qint64 afterMs = qint64(*after) * 1000;
            if (afterMs > m_options.maxRetryAfterMs) {
                giveUp = true;
                error = why + QStringLiteral(", Retry-After %1 s is past the limit").arg(*after);
            } else {
                delay = afterMs;
            }
        }
    }
    if (giveUp) {
        CheckRecord record;
        record.answered = false;
        record.attempts = job.attempts;
        record.error = error;
        record.httpStatus = reply.answered ? reply.httpStatus : 0;
        record.finalAddress = reply.finalAddress;
        record.redirects = reply.redirects;
        complete(std::move(job), std::move(record));
        return;
    }
    job.notBefore = m_now() + delay;
    m_backingOff += job.notBefore > 0 ? 1 : 0;
    m_queue.push_back(std::move(job));
    pump();
}

void PartnerChecker::pumpRendered()
{
    if (m_rendering || m_renderQueue.empty() || !m_rendered || !m_running)
        return;
    m_rendering = true;
    const QString url = m_renderQueue.front().record->finalAddress;
    m_rendered->read(url, [this](bool loaded, const QStringList &hrefs) {
        if (!m_rendering || m_renderQueue.empty())
            return;
        m_rendering = false;
        Job job = std::move(m_renderQueue.front());
        m_renderQueue.pop_front();
        CheckRecord record = *job.record;
        record.renderedChecked = loaded;
        record.scriptOnly = loaded && anyLinkTo(hrefs, job.sites);
        complete(std::move(job), std::move(record));
        pumpRendered();
        finishIfDone();
    });
}

void PartnerChecker::complete(Job job, CheckRecord record)
{
    record.checkedAt = m_now();
    ++m_finished;
    emit checked(job.partner, record);
    emit progress(m_finished, m_total);
}

void PartnerChecker::finishIfDone()
{
    if (m_running && m_queue.empty() && m_inFlight.isEmpty() && m_parsing == 0 && m_renderQueue.empty()
        && !m_rendering) {
        m_running = false;
        m_wake.setEnabled(false);
        emit runFinished(false);
    }
}

}  // namespace quorvane
