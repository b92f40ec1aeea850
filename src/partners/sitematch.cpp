#include "sitematch.h"

namespace quorvane {

namespace {

bool isWeb(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

QString stripWww(const QString &host)
{
    return host.startsWith(QLatin1String("www.")) ? host.mid(4) : host;
}

// A DNS name or an IP address: labels of letters, digits and hyphens.
bool isHostName(const QString &host)
{
    if (host.isEmpty() || host.size() > 253)
        return false;
    if (host.startsWith(u'[') && host.endsWith(u']'))
        return true;  // QUrl has checked the IPv6 address
    const QStringList labels = host.split(u'.');
    for (const QString &label : labels) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (const QChar c : label) {
            if (!(c.isLetterOrNumber() || c == u'-' || c == u'_'))
                return false;
        }
    }
    return true;
}

QString pathAndQuery(const QUrl &url)
{
    QString path = url.path(QUrl::FullyEncoded);
    if (path.isEmpty())
        path = QStringLiteral("/");
    if (url.hasQuery())
        path += u'?' + url.query(QUrl::FullyEncoded);
    return path;
}

}  // namespace

QString siteHostOf(const QUrl &url)
{
    return stripWww(url.host().toLower());
}

QString OwnSite::text() const
{
    QString out = host;
    if (port >= 0)
        out += u':' + QString::number(port);
    if (!isHost())
        out = QStringLiteral("http://") + out + path;
    return out;
}

bool OwnSite::matches(const QUrl &link) const
{
    if (!isWeb(link) || siteHostOf(link) != host)
        return false;
    if (port >= 0 && link.port(link.scheme().toLower() == u"https" ? 443 : 80) != port)
        return false;
    if (isHost())
        return true;
    // An exact address: the same path and query, with or without a final slash.
    QString linked = pathAndQuery(link);
    QString wanted = path;
    if (linked.size() > 1 && linked.endsWith(u'/'))
        linked.chop(1);
    if (wanted.size() > 1 && wanted.endsWith(u'/'))
        wanted.chop(1);
    return linked == wanted;
}

std::optional<OwnSite> parseOwnSite(const QString &text, QString *error)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        *error = QStringLiteral("the site is empty");
        return std::nullopt;
    }
    const bool address = trimmed.contains(QLatin1String("://"));
    const QUrl url(address ? trimmed : QStringLiteral("http://") + trimmed, QUrl::StrictMode);
    if (!url.isValid() || !isWeb(url) || url.host().isEmpty() || !isHostName(url.host())
        || !url.userInfo().isEmpty()) {
        *error = QStringLiteral("\"%1\" is no host or web address").arg(trimmed.left(200));
        return std::nullopt;
    }
    OwnSite entry;
    entry.host = siteHostOf(url);
    entry.port = url.port(-1);
    const QString path = pathAndQuery(url);
    if (address && path != u"/")
        entry.path = path;
    else if (!address && (url.path().size() > 1 || url.hasQuery())) {
        *error = QStringLiteral("\"%1\" is no host (write a whole address for a single page)").arg(trimmed.left(200));
        return std::nullopt;
    }
    return entry;
}

std::optional<QUrl> parsePartnerPage(const QString &text, QString *error)
{
    const QString trimmed = text.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    if (trimmed.isEmpty() || !url.isValid() || !isWeb(url) || url.host().isEmpty() || !isHostName(url.host())) {
        *error = QStringLiteral("\"%1\" is no http or https address").arg(trimmed.left(200));
        return std::nullopt;
    }
    return url.adjusted(QUrl::RemoveFragment);
}

int matchingSite(const QList<OwnSite> &sites, const QUrl &link)
{
    for (qsizetype i = 0; i < sites.size(); ++i) {
        if (sites.at(i).matches(link))
            return int(i);
    }
    return -1;
}

}  // namespace quorvane
