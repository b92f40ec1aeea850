#pragma once

#include "core/robotstxt.h"
#include "host/controls.h"

#include <QHash>
#include <QList>
#include <QString>

namespace quorvane {

// How politely the keyword fetcher reads other people's sites.
struct Politeness {
    // Requests at a time to one site; the four slots make 4 the old behaviour.
    int perHostLimit = 4;
    // Pause between requests to one site, counted from the start and from the
    // end of the previous one.
    int hostDelayMs = 0;
    bool obeyRobots = false;
    // The longest Retry-After wait honoured.
    int retryAfterCapSeconds = 120;
};

// The per-site book of the keyword fetcher: requests in flight, pauses still
// to wait, robots rules and pages put back after a 429 or 503. Time moves
// only through tick(), which the fetcher calls from a timer, so tests drive
// it with a manual clock. Sites are origins: scheme, host and port.
class HostSchedule final {
public:
    void setPoliteness(const Politeness &politeness) { m_politeness = politeness; }
    const Politeness &politeness() const { return m_politeness; }

    // Whether sites need keeping apart at all: not with the defaults, which
    // then cost the fetcher nothing per page.
    bool tracksSites() const
    {
        return m_politeness.perHostLimit < ReaderSlotCount || m_politeness.hostDelayMs > 0 || m_politeness.obeyRobots;
    }

    // "http://host:80" for any address of that site; empty when it has none.
    static QString siteOf(const QString &url);
    static QString robotsUrl(const QString &site) { return site + QStringLiteral("/robots.txt"); }

    // Whether a request to url may start now (limit, pause, robots known).
    bool mayStart(const QString &url) const;
    // Whether the site's robots file must be read before its pages.
    bool needsRobots(const QString &url) const;
    bool allowedByRobots(const QString &url) const;
    void setRobotsFetching(const QString &site);
    void setRobots(const QString &site, const RobotsTxt &robots);
    // A robots fetch that was stopped, to be tried again.
    void forgetRobotsFetch(const QString &site);

    void started(const QString &site);
    void ended(const QString &site);

    // Puts a page back for later; false when it was put back once already.
    bool deferRetry(const QString &url, int waitMs);
    // A page put back whose wait is over and whose site may take it, or empty.
    QString takeReadyRetry();
    bool hasRetries() const { return !m_retries.isEmpty(); }
    int retryCount() const { return int(m_retries.size()); }
    QStringList takeAllRetries();

    // Moves time on; true while anything still waits for time to pass.
    bool tick(int ms);
    bool waiting() const;

    // Forgets the run: counts, pauses, retries and robots rules.
    void clear();

private:
    struct Retry {
        QString url;
        int waitMs = 0;
    };
    struct Site {
        int inFlight = 0;
        int waitMs = 0;
        enum class Robots { Unknown, Fetching, Known } robotsState = Robots::Unknown;
        RobotsTxt robots;
    };
    bool siteFree(const Site *site) const;

    Politeness m_politeness;
    QHash<QString, Site> m_sites;
    QList<Retry> m_retries;
    QHash<QString, int> m_retried;  // pages put back once, by address
};

}  // namespace quorvane
