#pragma once

#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

class QUrl;

namespace quorvane {

// Local pages (files opened, pages the program wrote) may show remote
// pictures, as any browser shows them, but what their scripts ask of remote
// servers (fetch, XMLHttpRequest, beacons, script and worker loads) is refused:
// a saved page must not phone home, nor reach into the user's network.
class LocalPagePolicy final : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    static bool isLocalPage(const QUrl &firstParty);
    static bool refuses(const QUrl &firstParty, const QUrl &request, QWebEngineUrlRequestInfo::ResourceType type);
};

}  // namespace quorvane
