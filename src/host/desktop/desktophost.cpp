#include "desktophost.h"

#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "host/qt/qttimer.h"
#include "host/qt/qtwindowservices.h"
#include "host/scriptedservices.h"
#include "host/textengine/textbrowser.h"
#include "host/webengine/webenginebrowser.h"

#include <QWebEngineProfile>

namespace quorvane {

namespace {
const char *const viewBrowserNames[] = {"WebBrowser1", "WebBrowser5"};
const char *const hiddenBrowserNames[] = {"WebBrowser2", "WebBrowser4"};
}  // namespace

DesktopHost::DesktopHost(ServicesMode mode, HiddenEngine hiddenEngine)
    : m_profile(std::make_unique<QWebEngineProfile>()),  // no storage name: off the record
      m_multi(std::make_unique<CurlMulti>())
{
    for (const char *name : viewBrowserNames) {
        const QString n = QString::fromLatin1(name);
        m_browsers[n] = std::make_unique<WebEngineBrowser>(n, m_profile.get(), true);
    }
    for (const char *name : hiddenBrowserNames) {
        const QString n = QString::fromLatin1(name);
        if (hiddenEngine == HiddenEngine::WebEngine) {
            m_browsers[n] = std::make_unique<WebEngineBrowser>(n, m_profile.get(), false);
            continue;
        }
        CurlMulti *multi = m_multi.get();
        m_browsers[n] = std::make_unique<TextBrowser>(n, [multi, n] {
            return std::make_unique<CurlTransfer>(n + QStringLiteral(" fetch"), *multi);
        });
    }

    for (int i = 1; i <= 10; ++i)
        m_transfers[i] = std::make_unique<CurlTransfer>(QStringLiteral("Inet%1").arg(i), *m_multi);
    for (int i = 3; i <= 12; ++i)
        m_timers[i] = std::make_unique<QtTimer>(QStringLiteral("Timer%1").arg(i));

    if (mode == ServicesMode::Scripted)
        m_scripted = std::make_unique<ScriptedServices>();
    else
        m_desktop = std::make_unique<QtWindowServices>();
}

DesktopHost::~DesktopHost()
{
    // Transfers before their multi handle, browsers before their profile.
    m_transfers.clear();
    m_browsers.clear();
}

Browser *DesktopHost::browser(const QString &name)
{
    const auto it = m_browsers.find(name);
    return it == m_browsers.end() ? nullptr : it->second.get();
}

WebEngineBrowser *DesktopHost::webBrowser(const QString &name) const
{
    const auto it = m_browsers.find(name);
    return it == m_browsers.end() ? nullptr : qobject_cast<WebEngineBrowser *>(it->second.get());
}

QList<WebEngineBrowser *> DesktopHost::viewBrowsers() const
{
    QList<WebEngineBrowser *> result;
    for (const char *name : viewBrowserNames)
        result.append(webBrowser(QString::fromLatin1(name)));
    return result;
}

QList<Browser *> DesktopHost::browsers() const
{
    QList<Browser *> result;
    for (const auto &[name, browser] : m_browsers)
        result.append(browser.get());
    return result;
}

Transfer *DesktopHost::transfer(int number)
{
    const auto it = m_transfers.find(number);
    return it == m_transfers.end() ? nullptr : it->second.get();
}

Timer *DesktopHost::timer(int number)
{
    const auto it = m_timers.find(number);
    return it == m_timers.end() ? nullptr : it->second.get();
}

WindowServices &DesktopHost::services()
{
    if (m_scripted)
        return *m_scripted;
    return *m_desktop;
}

}  // namespace quorvane
