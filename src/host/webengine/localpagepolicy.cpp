#include "localpagepolicy.h"

#include <QUrl>

namespace quorvane {

bool LocalPagePolicy::isLocalPage(const QUrl &firstParty)
{
    const QString scheme = firstParty.scheme();
    return scheme == QLatin1String("file") || scheme == QLatin1String("about") || scheme == QLatin1String("data");
}

bool LocalPagePolicy::refuses(const QUrl &firstParty, const QUrl &request, QWebEngineUrlRequestInfo::ResourceType type)
{
    if (!isLocalPage(firstParty) || isLocalPage(request) || request.scheme() == QLatin1String("qrc"))
        return false;
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:  // following a link
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:   // a frame shows its own site
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
        return false;
    default:
        return true;
    }
}

void LocalPagePolicy::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (refuses(info.firstPartyUrl(), info.requestUrl(), info.resourceType()))
        info.block(true);
}

}  // namespace quorvane
