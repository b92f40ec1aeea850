#include "robotstxt.h"

#include <QUrl>

#include <vector>

namespace quorvane {

namespace {

bool isUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isTokenChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'-';
}

// The key of a "key: value" line, lower-cased, and its value without a comment.
bool splitLine(QByteArrayView line, QByteArray &key, QByteArray &value)
{
    const qsizetype hash = line.indexOf('#');
    if (hash >= 0)
        line = line.first(hash);
    const qsizetype colon = line.indexOf(':');
    if (colon < 0)
        return false;
    key = line.first(colon).trimmed().toByteArray().toLower();
    value = line.sliced(colon + 1).trimmed().toByteArray();
    return true;
}

}  // namespace

RobotsTxt RobotsTxt::disallowAll()
{
    RobotsTxt robots;
    robots.m_rules.append({QByteArrayLiteral("/"), false});
    return robots;
}

QString RobotsTxt::productToken(const QString &userAgent)
{
    QString token;
    for (const QChar c : userAgent.trimmed()) {
        if (!isTokenChar(c))
            break;
        token += c;
    }
    return token;
}

QByteArray RobotsTxt::normalizePath(QByteArrayView path)
{
    QByteArray out;
    out.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '%' && i + 2 < path.size() && hexValue(path[i + 1]) >= 0 && hexValue(path[i + 2]) >= 0) {
            const char decoded = char(hexValue(path[i + 1]) * 16 + hexValue(path[i + 2]));
            if (isUnreserved(decoded)) {
                out += decoded;
            } else {
                out += '%';
                out += char(QChar::fromLatin1(path[i + 1]).toUpper().toLatin1());
                out += char(QChar::fromLatin1(path[i + 2]).toUpper().toLatin1());
            }
            i += 2;
        } else if (static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < 0x21) {
            static const char digits[] = "0123456789ABCDEF";
            const unsigned char byte = static_cast<unsigned char>(c);
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

RobotsTxt RobotsTxt::parse(QStringView text, const QString &userAgent)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > MaxBytes) {
        bytes.truncate(MaxBytes);
        const qsizetype lastBreak = qMax(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        bytes.truncate(qMax<qsizetype>(0, lastBreak));
    }
    const QString token = productToken(userAgent);

    struct Group {
        QList<QByteArray> agents;
        QList<Rule> rules;
    };
    std::vector<Group> groups;
    bool inAgents = false;  // the last line read was a user-agent line
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        const QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start);
        start = end + 1;
        QByteArray key;
        QByteArray value;
        if (!splitLine(line, key, value))
            continue;
        if (key == "user-agent") {
            if (!inAgents)
                groups.push_back({});
            groups.back().agents.append(value);
            inAgents = true;
        } else if (key == "allow" || key == "disallow") {
            inAgents = false;
            // Rules before any user-agent line belong to no group; an empty
            // disallow says nothing.
            if (groups.empty() || value.isEmpty())
                continue;
            groups.back().rules.append({normalizePath(value), key == "allow"});
        }
        // Other lines (sitemap, crawl-delay, ...) neither end a group's agent list nor add rules.
    }

    RobotsTxt robots;
    auto collect = [&](auto &&named) {
        bool found = false;
        for (const Group &group : groups) {
            for (const QByteArray &agent : group.agents) {
                if (named(agent)) {
                    robots.m_rules.append(group.rules);
                    found = true;
                    break;
                }
            }
        }
        return found;
    };
    const bool mine = !token.isEmpty() && collect([&](const QByteArray &agent) {
        const QString named = productToken(QString::fromUtf8(agent));
        return !named.isEmpty() && named.compare(token, Qt::CaseInsensitive) == 0;
    });
    if (!mine)
        collect([](const QByteArray &agent) { return agent == "*"; });
    return robots;
}

RobotsTxt RobotsTxt::fromFetch(int status, QStringView body, const QString &userAgent)
{
    if (status >= 200 && status < 300)
        return parse(body, userAgent);
    if (status >= 300 && status < 500)
        return allowAll();
    return disallowAll();
}

bool RobotsTxt::matches(QByteArrayView pattern, QByteArrayView path)
{
    const bool anchored = pattern.endsWith('$');
    if (anchored)
        pattern.chop(1);
    // Greedy matching with one backtrack point per star, linear enough for
    // the few rules and short paths it meets.
    qsizetype p = 0;
    qsizetype s = 0;
    qsizetype starP = -1;
    qsizetype starS = 0;
    while (true) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starS = s;
            continue;
        }
        if (p == pattern.size()) {
            if (!anchored || s == path.size())
                return true;
        } else if (s < path.size() && pattern[p] == path[s]) {
            ++p;
            ++s;
            continue;
        }
        if (starP < 0 || starS >= path.size())
            return false;
        p = starP + 1;
        s = ++starS;
    }
}

bool RobotsTxt::allows(const QString &pathOrUrl) const
{
    QByteArray path;
    if (pathOrUrl.startsWith(u'/')) {
        path = pathOrUrl.toUtf8();
    } else {
        const QUrl url(pathOrUrl);
        path = url.path(QUrl::FullyEncoded).toUtf8();
        if (url.hasQuery())
            path += '?' + url.query(QUrl::FullyEncoded).toUtf8();
    }
    if (path.isEmpty())
        path = "/";
    const qsizetype hash = path.indexOf('#');
    if (hash >= 0)
        path.truncate(hash);
    path = normalizePath(path);
    if (path == "/robots.txt")
        return true;

    qsizetype best = -1;
    bool allowed = true;
    for (const Rule &rule : m_rules) {
        if (!matches(rule.pattern, path))
            continue;
        const qsizetype length = rule.pattern.size();
        if (length > best || (length == best && rule.allow)) {
            best = length;
            allowed = rule.allow;
        }
    }
    return allowed;
}

}  // namespace quorvane
