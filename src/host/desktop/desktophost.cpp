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

DesktopHost::DesktopHost(ServicesMode mode, HiddenEngine hiddenEngine)
    : m_profile(std::make_unique<QWebEngineProfile>()),  // no storage name: off the record
      m_multi(std::make_unique<CurlMulti>()),
      m_hiddenEngine(hiddenEngine)
{
    for (BrowserId id : AllBrowsers) {
        const QString name = controlName(id);
        const bool shown = id == BrowserId::MainView || id == BrowserId::SecondView;
        if (shown || hiddenEngine == HiddenEngine::WebEngine) {
            m_browsers[id] = std::make_unique<WebEngineBrowser>(name, m_profile.get(), shown);
            continue;
        }
        CurlMulti *multi = m_multi.get();
        m_browsers[id] = std::make_unique<TextBrowser>(name, [this, multi, name] {
            auto transfer = std::make_unique<CurlTransfer>(name + QStringLiteral(" fetch"), *multi);
            transfer->setUserAgent(m_userAgent);
            return transfer;
        });
    }
    for (TransferSlot slot : AllTransferSlots)
        m_transfers[slot] = std::make_unique<CurlTransfer>(controlName(slot), *m_multi);
    for (TimerId id : AllTimers)
        m_timers[id] = std::make_unique<QtTimer>(controlName(id));
    for (TimerId id : BackgroundTimers)
        m_timers[id] = std::make_unique<QtTimer>(controlName(id));

    if (mode == ServicesMode::Scripted)
        m_scripted = std::make_unique<ScriptedServices>();
    else
        m_desktop = std::make_unique<QtWindowServices>();
}

void DesktopHost::setUserAgent(const QString &userAgent)
{
    m_userAgent = userAgent;
    for (auto &[slot, transfer] : m_transfers)
        transfer->setUserAgent(userAgent);
}

DesktopHost::~DesktopHost()
{
    // Transfers before their multi handle, browsers before their profile.
    m_transfers.clear();
    m_browsers.clear();
}

std::unique_ptr<Transfer> DesktopHost::newTransfer(const QString &name)
{
    return std::make_unique<CurlTransfer>(name, *m_multi);
}

std::unique_ptr<Browser> DesktopHost::newHiddenReader(const QString &name)
{
    if (m_hiddenEngine != HiddenEngine::WebEngine)
        return nullptr;
    return std::make_unique<WebEngineBrowser>(name, m_profile.get(), false);
}

Browser *DesktopHost::browser(BrowserId id)
{
    const auto it = m_browsers.find(id);
    return it == m_browsers.end() ? nullptr : it->second.get();
}

WebEngineBrowser *DesktopHost::webBrowser(BrowserId id) const
{
    const auto it = m_browsers.find(id);
    return it == m_browsers.end() ? nullptr : qobject_cast<WebEngineBrowser *>(it->second.get());
}

QList<WebEngineBrowser *> DesktopHost::viewBrowsers() const
{
    QList<WebEngineBrowser *> result;
    for (BrowserId id : ShownBrowsers)
        result.append(webBrowser(id));
    return result;
}

QList<Browser *> DesktopHost::browsers() const
{
    QList<Browser *> result;
    for (const auto &[id, browser] : m_browsers)
        result.append(browser.get());
    return result;
}

Transfer *DesktopHost::transfer(TransferSlot slot)
{
    const auto it = m_transfers.find(slot);
    return it == m_transfers.end() ? nullptr : it->second.get();
}

Timer *DesktopHost::timer(TimerId id)
{
    const auto it = m_timers.find(id);
    return it == m_timers.end() ? nullptr : it->second.get();
}

WindowServices &DesktopHost::services()
{
    if (m_scripted)
        return *m_scripted;
    return *m_desktop;
}

}  // namespace quorvane
