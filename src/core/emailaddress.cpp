#include "emailaddress.h"

#include <QSet>
#include <QUrl>

namespace quorvane {

namespace {

constexpr qsizetype MaxAddressChars = 254;

bool isImageName(const QString &domain)
{
    static const char *const extensions[] = {".png", ".jpg", ".jpeg", ".gif", ".webp", ".svg", ".bmp", ".ico", ".avif"};
    for (const char *extension : extensions) {
        if (domain.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool plausible(const QString &address)
{
    const qsizetype at = address.lastIndexOf(u'@');
    if (at <= 0 || at == address.size() - 1 || address.size() > MaxAddressChars)
        return false;
    const QString domain = address.mid(at + 1);
    if (!domain.contains(u'.') || domain.startsWith(u'.') || domain.endsWith(u'.') || isImageName(domain))
        return false;
    for (const QChar c : address) {
        if (c.isSpace() || c.category() == QChar::Other_Control || QStringLiteral("<>\"'(),;:[]\\").contains(c))
            return false;
    }
    for (const QChar c : domain) {
        if (c == u'@')
            return false;
    }
    return true;
}

}  // namespace

QString mailtoAddress(const QString &href)
{
    QString rest = href.trimmed();
    if (!rest.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return {};
    rest = rest.mid(7);
    const qsizetype query = rest.indexOf(u'?');
    if (query >= 0)
        rest.truncate(query);
    const qsizetype fragment = rest.indexOf(u'#');
    if (fragment >= 0)
        rest.truncate(fragment);
    // mailto:a@x.com,b@y.com names two; the first is the link's own.
    QString address = QUrl::fromPercentEncoding(rest.toUtf8()).trimmed();
    const qsizetype comma = address.indexOf(u',');
    if (comma >= 0)
        address.truncate(comma);
    address = address.trimmed();
    return plausible(address) ? address : QString();
}

QStringList mailtoAddressesIn(const QString &html)
{
    QStringList addresses;
    QSet<QString> seen;
    qsizetype from = 0;
    while ((from = html.indexOf(QLatin1String("mailto:"), from, Qt::CaseInsensitive)) >= 0) {
        qsizetype end = from + 7;
        while (end < html.size() && end - from < 1024) {
            const QChar c = html.at(end);
            if (c == u'"' || c == u'\'' || c == u'>' || c == u'<' || c.isSpace())
                break;
            ++end;
        }
        const QString address = mailtoAddress(html.mid(from, end - from));
        from = end;
        if (address.isEmpty() || seen.contains(address.toCaseFolded()))
            continue;
        seen.insert(address.toCaseFolded());
        addresses.append(address);
    }
    return addresses;
}

}  // namespace quorvane
