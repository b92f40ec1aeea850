#pragma once

#include "host/host.h"

#include <QList>
#include <QString>

#include <map>
#include <memory>

class QWebEngineProfile;
class QWebEngineView;

namespace quorvane {

class CurlMulti;
class QtWindowServices;
class ScriptedServices;
class WebEngineBrowser;

// The real host: web engine browsers, libcurl transfers, Qt timers and either
// desktop dialogs or, under automation, scripted answers.
class DesktopHost final : public Host {
public:
    enum class ServicesMode { Desktop, Scripted };
    // What the hidden loaders WebBrowser2 and WebBrowser4 run on: the text-only
    // engine reads pages many times faster; the web engine runs their scripts.
    // Both bound what one page may cost; the shown views are not bounded.
    enum class HiddenEngine { Text, WebEngine };

    explicit DesktopHost(ServicesMode mode, HiddenEngine hiddenEngine = HiddenEngine::Text);
    ~DesktopHost() override;
    DesktopHost(const DesktopHost &) = delete;
    DesktopHost &operator=(const DesktopHost &) = delete;

    Browser *browser(BrowserId id) override;
    Transfer *transfer(TransferSlot slot) override;
    Timer *timer(TimerId id) override;
    WindowServices &services() override;

    // The browsers shown in the window (WebBrowser1, WebBrowser5), in that order.
    QList<WebEngineBrowser *> viewBrowsers() const;
    // Null for browsers on the text-only engine.
    WebEngineBrowser *webBrowser(BrowserId id) const;
    QList<Browser *> browsers() const;

    // A transfer of its own for a feature beyond the window's ten (the
    // partner checks), on the same connection pool.
    std::unique_ptr<Transfer> newTransfer(const QString &name);
    // A hidden web-engine reader of its own, when the hidden readers run on
    // the web engine; null on the text-only engine.
    std::unique_ptr<Browser> newHiddenReader(const QString &name);
    // The user agent of every transfer, also of those the hidden readers
    // make later.
    void setUserAgent(const QString &userAgent);

    // Exactly one of these is non-null, by mode.
    QtWindowServices *desktopServices() const { return m_desktop.get(); }
    ScriptedServices *scriptedServices() const { return m_scripted.get(); }

private:
    // Declared first so that it is destroyed last: pages must go before their profile.
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<CurlMulti> m_multi;
    std::map<BrowserId, std::unique_ptr<Browser>> m_browsers;
    std::map<TransferSlot, std::unique_ptr<Transfer>> m_transfers;
    std::map<TimerId, std::unique_ptr<Timer>> m_timers;
    std::unique_ptr<QtWindowServices> m_desktop;
    std::unique_ptr<ScriptedServices> m_scripted;
    HiddenEngine m_hiddenEngine = HiddenEngine::Text;
    QString m_userAgent;
};

}  // namespace quorvane
