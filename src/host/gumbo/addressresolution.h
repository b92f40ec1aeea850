#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

namespace quorvane::htmlparser {

// The address relative ones resolve against, read once per page rather
// than once per link.
struct BaseUrl {
    QUrl url;
    QString scheme;
    bool valid = false;
    bool web = false;
    bool opaque = false;  // "about:blank", "mailto:x": nothing relative resolves against it
};

BaseUrl makeBase(const QString &text);

// relative as the DOM property gives it on a page whose base is base: absolute
// for web addresses, as written for other schemes and for what does not parse.
QString resolveAgainst(const BaseUrl &base, QStringView relative);

// The host of url in lower case, bracketed when it is an IPv6 address; empty
// for file and about addresses.
QString domainOf(const QString &url);

}  // namespace quorvane::htmlparser
