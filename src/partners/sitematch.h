#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace quorvane {

// One of the user's own sites: a host (matched with and without "www." on
// http and https, any path) or an exact address.
struct OwnSite {
    QString host;     // lower case, without "www."
    int port = -1;    // -1: any port
    QString path;     // empty for a whole host; otherwise the exact path (and query) linked to

    bool isHost() const { return path.isEmpty(); }
    QString text() const;  // as stored and shown
    bool matches(const QUrl &link) const;
};

// The entry the user typed, or nullopt with why in *error.
std::optional<OwnSite> parseOwnSite(const QString &text, QString *error);

// A partner page address: http or https with a host; nullopt with why in *error.
std::optional<QUrl> parsePartnerPage(const QString &text, QString *error);

// The host without a leading "www.", lower case: two addresses are on the
// same site when these are equal.
QString siteHostOf(const QUrl &url);

// The first entry that link points to, or -1.
int matchingSite(const QList<OwnSite> &sites, const QUrl &link);

}  // namespace quorvane
