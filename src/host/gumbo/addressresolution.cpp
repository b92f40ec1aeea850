#include "addressresolution.h"

#include "htmlparser.h"

#include <QStringView>

namespace quorvane::htmlparser {

namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == u"http" || scheme == u"https" || scheme == u"ftp" || scheme == u"file" || scheme == u"ws"
        || scheme == u"wss";
}

int defaultPort(const QString &scheme)
{
    if (scheme == u"http" || scheme == u"ws")
        return 80;
    if (scheme == u"https" || scheme == u"wss")
        return 443;
    if (scheme == u"ftp")
        return 21;
    return -1;
}

// Length of a leading "scheme:" (without the colon), or 0.
qsizetype schemeLength(QStringView text)
{
    if (text.isEmpty() || !(text[0].isLetter() && text[0].unicode() < 128))
        return 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u':')
            return i;
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+'
            || c == u'-' || c == u'.';
        if (!ok)
            return 0;
    }
    return 0;
}

void normalize(QUrl &url)
{
    const QString scheme = url.scheme();
    if (url.port() != -1 && url.port() == defaultPort(scheme))
        url.setPort(-1);
    if (isWebScheme(scheme) && scheme != u"file" && url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
}

QString withoutFragment(const QUrl &url)
{
    QUrl copy = url;
    copy.setFragment(QString());
    normalize(copy);
    return copy.toString(QUrl::FullyEncoded);
}

// An absolute address with its dot segments removed, as written when it
// does not parse.
QString absoluteAddress(const QString &address, const QString &asWritten)
{
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || (url.scheme() != u"file" && url.host().isEmpty()))
        return asWritten;
    QUrl root = url;
    root.setPath(QString());
    root.setQuery(QString());
    root.setFragment(QString());
    QUrl rest;
    rest.setPath(url.path().isEmpty() ? QStringLiteral("/") : url.path(QUrl::FullyEncoded), QUrl::TolerantMode);
    rest.setQuery(url.query(QUrl::FullyEncoded), QUrl::TolerantMode);
    rest.setFragment(url.fragment(QUrl::FullyEncoded), QUrl::TolerantMode);
    if (!url.hasQuery())
        rest.setQuery(QString());
    if (!url.hasFragment())
        rest.setFragment(QString());
    QUrl resolved = root.resolved(rest);
    if (!resolved.isValid())
        return asWritten;
    normalize(resolved);
    return resolved.toString(QUrl::FullyEncoded);
}

}  // namespace

BaseUrl makeBase(const QString &text)
{
    BaseUrl base;
    base.url = QUrl(text.trimmed(), QUrl::TolerantMode);
    base.valid = base.url.isValid() && !base.url.scheme().isEmpty();
    base.scheme = base.url.scheme().toLower();
    base.web = isWebScheme(base.scheme);
    base.opaque = !base.web && !base.url.path().startsWith(u'/') && base.url.authority().isEmpty();
    return base;
}

QString resolveAgainst(const BaseUrl &base, QStringView relative)
{
    // As the URL parser does: strip leading and trailing controls and spaces,
    // and drop tabs and newlines anywhere.
    qsizetype from = 0;
    qsizetype to = relative.size();
    while (from < to && relative[from].unicode() <= 0x20)
        ++from;
    while (to > from && relative[to - 1].unicode() <= 0x20)
        --to;
    QString input = relative.mid(from, to - from).toString();
    input.remove(u'\t').remove(u'\n').remove(u'\r');

    if (input.isEmpty())
        return base.valid ? withoutFragment(base.url) : input;

    const qsizetype schemeLen = schemeLength(input);
    if (schemeLen > 0) {
        const QString scheme = input.left(schemeLen).toLower();
        if (!isWebScheme(scheme))
            return scheme + input.mid(schemeLen);  // mailto:, javascript:, ... as written
        QString rest = input.mid(schemeLen + 1);
        rest.replace(u'\\', u'/');
        const bool sameScheme = base.valid && scheme == base.scheme;
        if (!sameScheme || rest.startsWith(u"//")) {
            // Browsers read any run of slashes after a web scheme as the
            // start of the host ("https:x.com" is https://x.com/).
            if (scheme != u"file") {
                qsizetype slashes = 0;
                while (slashes < rest.size() && rest[slashes] == u'/')
                    ++slashes;
                rest = QStringLiteral("//") + rest.mid(slashes);
            }
            return absoluteAddress(scheme + u':' + rest, input);
        }
        input = rest;  // "http:page.htm" on an http page is relative
        if (input.isEmpty())
            return withoutFragment(base.url);
    }

    if (!base.valid)
        return input;
    if (base.opaque) {
        if (input.startsWith(u'#')) {
            QUrl url = base.url;
            url.setFragment(input.mid(1));
            return url.toString(QUrl::FullyEncoded);
        }
        return input;  // a browser fails to parse it and returns the attribute
    }
    if (base.web)
        input.replace(u'\\', u'/');
    const QUrl relativeUrl(input, QUrl::TolerantMode);
    if (!relativeUrl.isValid())
        return input;
    QUrl resolved = base.url.resolved(relativeUrl);
    if (!resolved.isValid())
        return input;
    normalize(resolved);
    return resolved.toString(QUrl::FullyEncoded);
}

QString domainOf(const QString &url)
{
    const QUrl parsed(url, QUrl::TolerantMode);
    const QString scheme = parsed.scheme().toLower();
    if (scheme == u"file" || scheme == u"about")
        return QString();
    const QString host = parsed.host(QUrl::FullyEncoded).toLower();
    return host.contains(u':') ? u'[' + host + u']' : host;
}

}  // namespace quorvane::htmlparser

namespace quorvane {

QString resolveUrl(const QString &base, const QString &relative)
{
    return htmlparser::resolveAgainst(htmlparser::makeBase(base), relative);
}

}  // namespace quorvane
