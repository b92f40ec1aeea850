#include "visiblebrowsers.h"

#include "host/host.h"

namespace quorvane {

void navigateVisibleBrowsers(Host &host, const QString &url)
{
    for (const char *name : {"WebBrowser1", "WebBrowser5"}) {
        Browser *browser = host.browser(QString::fromLatin1(name));
        if (browser && browser->isVisible())
            browser->navigate(url);
    }
}

}  // namespace quorvane
