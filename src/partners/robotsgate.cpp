#include "robotsgate.h"

#include <QDateTime>
#include <QUrl>

namespace quorvane {

// Interim: "*" group prefix rules only, until the shared robots reader lands.
bool robotsTxtDisallows(const QString &robotsText, const QString &page)
{
    if (robotsText.isEmpty())
        return false;
    const QUrl url(page);
    const QString path = url.path().isEmpty() ? QStringLiteral("/") : url.path();
    bool inStar = false;
    bool lastWasAgent = false;
    qsizetype bestLength = -1;
    bool bestAllow = true;
    for (QString line : robotsText.split(u'\n')) {
        line = line.section(u'#', 0, 0).trimmed();
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            continue;
        const QString key = line.left(colon).trimmed().toLower();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == u"user-agent") {
            if (!lastWasAgent)
                inStar = false;
            inStar = inStar || value == u"*";
            lastWasAgent = true;
            continue;
        }
        lastWasAgent = false;
        if (!inStar || (key != u"allow" && key != u"disallow") || value.isEmpty())
            continue;
        if (path.startsWith(value) && (value.size() > bestLength || (value.size() == bestLength && key == u"allow"))) {
            bestLength = value.size();
            bestAllow = key == u"allow";
        }
    }
    return !bestAllow;
}

std::optional<qint64> parseRetryAfterMs(const QByteArray &value, qint64 nowMs)
{
    bool ok = false;
    const qint64 seconds = value.trimmed().toLongLong(&ok);
    if (ok && seconds >= 0)
        return seconds * 1000;
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(value.trimmed()), Qt::RFC2822Date);
    if (!when.isValid())
        return std::nullopt;
    return std::max<qint64>(0, when.toMSecsSinceEpoch() - nowMs);
}

}  // namespace quorvane
