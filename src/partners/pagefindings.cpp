#include "pagefindings.h"

#include "core/pageclues.h"
#include "host/gumbo/linkscan.h"

#include <QUrl>

namespace quorvane {

namespace {

const QStringList &notFollowedTokens()
{
    static const QStringList tokens = {QStringLiteral("nofollow"), QStringLiteral("sponsored"), QStringLiteral("ugc")};
    return tokens;
}

QStringList notFollowedRel(const QStringList &rel)
{
    QStringList out;
    for (const QString &token : notFollowedTokens()) {
        if (rel.contains(token))
            out.append(token);
    }
    return out;
}

// X-Robots-Tag: "noindex, nofollow" or "googlebot: noindex"; every agent's
// rules count, since any engine's block costs the link.
QStringList robotsHeaderTokens(const FetchReply &reply)
{
    QStringList out;
    for (const QByteArray &value : reply.headerValues("X-Robots-Tag")) {
        for (QString token : QString::fromLatin1(value).toLower().split(u',')) {
            token = token.trimmed();
            if (const qsizetype colon = token.indexOf(u':'); colon >= 0 && !token.startsWith(QLatin1String("unavailable_after")))
                token = token.mid(colon + 1).trimmed();
            out.append(token);
        }
    }
    return out;
}

QString comparable(const QString &address)
{
    QUrl url(address);
    url = url.adjusted(QUrl::RemoveFragment | QUrl::StripTrailingSlash | QUrl::NormalizePathSegments);
    QString text = url.toString(QUrl::FullyEncoded);
    return text.toLower();
}

}  // namespace

bool sameAnchor(const QString &expected, const QString &actual)
{
    return expected.simplified().compare(actual.simplified(), Qt::CaseInsensitive) == 0;
}

bool anyLinkTo(const QStringList &hrefs, const QList<OwnSite> &sites)
{
    for (const QString &href : hrefs) {
        if (matchingSite(sites, QUrl(href)) >= 0)
            return true;
    }
    return false;
}

CheckRecord readFindings(const FetchReply &reply, const QString &page, const QList<OwnSite> &sites,
                         const QString &expectedAnchor)
{
    CheckRecord record;
    record.answered = reply.answered;
    record.error = reply.error;
    if (!reply.answered)
        return record;
    record.httpStatus = reply.httpStatus;
    record.finalAddress = reply.finalAddress.isEmpty() ? page : reply.finalAddress;
    record.redirects = reply.redirects;
    record.movedOffSite = siteHostOf(QUrl(record.finalAddress)) != siteHostOf(QUrl(page));
    if (reply.httpStatus < 200 || reply.httpStatus >= 300)
        return record;

    const MarkupScan scan = scanMarkup(reply.body, record.finalAddress);
    // The best link wins: a followed one, then one with the expected anchor.
    int bestScore = -1;
    for (const ScannedLink &link : scan.links) {
        if (matchingSite(sites, QUrl(link.href)) < 0)
            continue;
        const QStringList rel = notFollowedRel(link.rel);
        const QString anchor = link.text.isEmpty() ? link.imageAlt : link.text;
        const bool anchorOk = expectedAnchor.trimmed().isEmpty() || sameAnchor(expectedAnchor, anchor)
            || (!link.imageAlt.isEmpty() && sameAnchor(expectedAnchor, link.imageAlt));
        const int score = (rel.isEmpty() ? 2 : 0) + (anchorOk ? 1 : 0);
        if (score <= bestScore)
            continue;
        bestScore = score;
        record.linkFound = true;
        record.linkAddress = link.href;
        record.rel = rel;
        record.anchorText = anchor;
        record.anchorMatches = anchorOk;
    }

    QStringList robots = scan.robotsMeta + robotsHeaderTokens(reply);
    if (robots.contains(QLatin1String("none")))
        robots << QStringLiteral("noindex") << QStringLiteral("nofollow");
    for (const char *token : {"noindex", "nofollow"}) {
        if (robots.contains(QLatin1String(token)))
            record.robots.append(QLatin1String(token));
    }
    if (!scan.canonical.isEmpty() && comparable(scan.canonical) != comparable(record.finalAddress))
        record.canonical = scan.canonical;
    PageWords words;
    words.host = QUrl(record.finalAddress).host();
    words.title = scan.title;
    words.heading = scan.heading;
    words.text = scan.text;
    const PageClues clues = readPageClues(words);
    record.parked = clues.parked;
    record.soft404 = clues.softNotFound;
    return record;
}

}  // namespace quorvane
