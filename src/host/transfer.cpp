#include "transfer.h"

namespace quorvane {

QString userAgentFor(const QString &homeSite)
{
    // Control characters would end the header line early or be refused by libcurl.
    QString host;
    for (const QChar c : homeSite.trimmed()) {
        if (c.unicode() > 0x20 && c.unicode() < 0x7f && c != u'(' && c != u')')
            host += c;
    }
    if (host.isEmpty())
        return QString::fromLatin1(ProgramProduct);
    return QString::fromLatin1(ProgramProduct) + QStringLiteral(" (+http://") + host + QStringLiteral("/)");
}

void Transfer::setUserAgent(const QString &userAgent)
{
    QString clean;
    for (const QChar c : userAgent) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            clean += c;
    }
    clean = clean.trimmed();
    m_userAgent = clean.isEmpty() ? defaultUserAgent() : clean;
}

QString Transfer::defaultUserAgent()
{
    return userAgentFor(QStringLiteral("127.0.0.1:8737"));
}

}  // namespace quorvane
