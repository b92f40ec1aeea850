#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

namespace quorvane {

// The rules a site's robots.txt gives one crawler (RFC 9309).
//   - Groups start with user-agent lines; the crawler takes every group whose
//     user-agent names its product token (case-insensitive), or else every
//     "*" group, or else nothing is disallowed.
//   - A path is matched against the allow and disallow rules of those groups;
//     "*" matches any run of characters and a final "$" the end of the path.
//     The longest matching rule wins, an allow wins a tie, and a path no
//     rule matches is allowed. "/robots.txt" itself is always allowed.
//   - Paths and rules are compared with percent-encoding made alike: escapes
//     of unreserved characters are decoded, other escapes upper-cased, bytes
//     outside ASCII escaped.
//   - Only the first 500 KiB are read; a last line cut there is dropped.
class RobotsTxt final {
public:
    static constexpr qsizetype MaxBytes = 500 * 1024;

    // Nothing disallowed, as when a site has no robots file.
    RobotsTxt() = default;
    static RobotsTxt allowAll() { return {}; }
    static RobotsTxt disallowAll();
    // The rules of text for a crawler with this user agent (its product
    // token, up to the first "/" or space, is what groups name).
    static RobotsTxt parse(QStringView text, const QString &userAgent);
    // What a fetch of /robots.txt means: a 2xx response is parsed; a 4xx one
    // (no file) allows everything; a 5xx one, or none at all (status 0, the
    // site unreachable), disallows everything until it can be read; a 3xx left
    // over after the redirects the transfer followed counts as no file.
    static RobotsTxt fromFetch(int status, QStringView body, const QString &userAgent);

    // path: an absolute address or its path and query ("/a/b?c").
    bool allows(const QString &pathOrUrl) const;

    // The product token of a user agent: "Quorvane" for "Quorvane/0.1 (+http://...)".
    static QString productToken(const QString &userAgent);
    // The path in the form rules are compared in.
    static QByteArray normalizePath(QByteArrayView path);

    int ruleCount() const { return int(m_rules.size()); }

private:
    struct Rule {
        QByteArray pattern;
        bool allow = false;
    };
    static bool matches(QByteArrayView pattern, QByteArrayView path);

    QList<Rule> m_rules;
};

}  // namespace quorvane
