#include "hostschedule.h"

#include <QUrl>

namespace quorvane {

QString HostSchedule::siteOf(const QString &url)
{
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return {};
    const QString scheme = parsed.scheme().toLower();
    const int port = parsed.port(scheme == QLatin1String("https") ? 443 : 80);
    QString host = parsed.host(QUrl::FullyEncoded).toLower();
    if (host.contains(u':'))
        host = u'[' + host + u']';
    return scheme + QStringLiteral("://") + host + u':' + QString::number(port);
}

bool HostSchedule::siteFree(const Site *site) const
{
    return !site || (site->inFlight < qMax(1, m_politeness.perHostLimit) && site->waitMs <= 0);
}

bool HostSchedule::mayStart(const QString &url) const
{
    if (!tracksSites())
        return true;
    const auto it = m_sites.constFind(siteOf(url));
    const Site *site = it == m_sites.cend() ? nullptr : &*it;
    if (!siteFree(site))
        return false;
    return !m_politeness.obeyRobots || (site && site->robotsState == Site::Robots::Known);
}

bool HostSchedule::needsRobots(const QString &url) const
{
    if (!m_politeness.obeyRobots)
        return false;
    const QString key = siteOf(url);
    if (key.isEmpty())
        return false;
    const auto it = m_sites.constFind(key);
    if (it == m_sites.cend())
        return true;
    return it->robotsState == Site::Robots::Unknown && siteFree(&*it);
}

bool HostSchedule::allowedByRobots(const QString &url) const
{
    if (!m_politeness.obeyRobots)
        return true;
    const auto it = m_sites.constFind(siteOf(url));
    return it == m_sites.cend() || it->robotsState != Site::Robots::Known || it->robots.allows(url);
}

void HostSchedule::setRobotsFetching(const QString &site)
{
    m_sites[site].robotsState = Site::Robots::Fetching;
}

void HostSchedule::setRobots(const QString &site, const RobotsTxt &robots)
{
    Site &entry = m_sites[site];
    entry.robotsState = Site::Robots::Known;
    entry.robots = robots;
}

void HostSchedule::forgetRobotsFetch(const QString &site)
{
    auto it = m_sites.find(site);
    if (it != m_sites.end() && it->robotsState == Site::Robots::Fetching)
        it->robotsState = Site::Robots::Unknown;
}

void HostSchedule::started(const QString &site)
{
    if (site.isEmpty())
        return;
    Site &entry = m_sites[site];
    ++entry.inFlight;
    entry.waitMs = qMax(entry.waitMs, m_politeness.hostDelayMs);
}

void HostSchedule::ended(const QString &site)
{
    auto it = m_sites.find(site);
    if (it == m_sites.end())
        return;
    it->inFlight = qMax(0, it->inFlight - 1);
    it->waitMs = qMax(it->waitMs, m_politeness.hostDelayMs);
}

bool HostSchedule::deferRetry(const QString &url, int waitMs)
{
    if (m_retried.contains(url))
        return false;
    m_retried.insert(url, 1);
    m_retries.append({url, qMax(0, waitMs)});
    return true;
}

QString HostSchedule::takeReadyRetry()
{
    for (qsizetype i = 0; i < m_retries.size(); ++i) {
        if (m_retries.at(i).waitMs <= 0 && mayStart(m_retries.at(i).url))
            return m_retries.takeAt(i).url;
    }
    return {};
}

QStringList HostSchedule::takeAllRetries()
{
    QStringList urls;
    for (const Retry &retry : std::as_const(m_retries))
        urls.append(retry.url);
    m_retries.clear();
    return urls;
}

bool HostSchedule::tick(int ms)
{
    for (Site &site : m_sites)
        site.waitMs = qMax(0, site.waitMs - ms);
    for (Retry &retry : m_retries)
        retry.waitMs = qMax(0, retry.waitMs - ms);
    return waiting();
}

bool HostSchedule::waiting() const
{
    for (const Site &site : m_sites) {
        if (site.waitMs > 0)
            return true;
    }
    for (const Retry &retry : m_retries) {
        if (retry.waitMs > 0)
            return true;
    }
    return false;
}

void HostSchedule::clear()
{
    m_sites.clear();
    m_retries.clear();
    m_retried.clear();
}

}  // namespace quorvane
