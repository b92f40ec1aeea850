#include "navigation.h"

#include "core/commandtable.h"
#include "core/listfile.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

Navigation::Navigation(WindowState &state, Host &host, const Config &config, QObject *parent)
    : QObject(parent), m_state(state), m_host(host), m_config(config)
{
    // Browser 1 is the view shown at start-up.
    m_state.setVisible(controlName(BrowserId::MainView), true);
    m_state.setVisible(controlName(BrowserId::SecondView), false);
    connectMainView();
}

template <typename Action>
void Navigation::forViews(Target target, Action action)
{
    if (target == Target::MainView) {
        if (Browser *main = m_host.browser(BrowserId::MainView))
            action(*main);
        return;
    }
    forEachVisibleView(m_host, action);
}

void Navigation::bind(CommandTable &c)
{
    const QString home = m_config.homeSiteUrl();
    const struct {
        const char *button;
        const char *menu;
        std::function<void(Browser &)> action;
    } commands[] = {
        {"Picture2", "back", [](Browser &b) { b.goBack(); }},
        {"Picture3", "forward", [](Browser &b) { b.goForward(); }},
        {"Picture6", "refresh", [](Browser &b) { b.refresh(); }},
    };
    for (const auto &command : commands) {
        const auto action = command.action;
        c.onButtonClick(QString::fromLatin1(command.button), [this, action] { forViews(Target::VisibleViews, action); });
        c.onMenu(QString::fromLatin1(command.menu), [this, action] { forViews(Target::MainView, action); });
    }
    c.onButtonClick(QStringLiteral("Picture5"),
                    [this, home] { forViews(Target::VisibleViews, [&](Browser &b) { b.navigate(home); }); });
    // The menu's address keeps the leading space it has always had; the engine trims it.
    c.onMenu(QStringLiteral("home"),
             [this, home] { forViews(Target::MainView, [&](Browser &b) { b.navigate(QLatin1Char(' ') + home); }); });
    c.onButtonClick(QStringLiteral("Picture4"), [this] { stop(); });
    c.onButtonUp(QStringLiteral("Picture23"), [this](MouseButton) { switchViews(); });
    c.onPanelClick(3, [this] { toggleLinksListing(); });
}

void Navigation::stop()
{
    forViews(Target::VisibleViews, [](Browser &b) { b.stop(); });
    m_state.setHarvestRequested(false);
    // Before WebBrowser4 stops, so a completion raised by the stop walks no further.
    if (m_stopWalk)
        m_stopWalk();
    if (Browser *imageReader = m_host.browser(BrowserId::ImageReader))
        imageReader->stop();
    cancelReaders(m_host);
    if (m_stopSearch)
        m_stopSearch();
    if (Browser *mainView = m_host.browser(BrowserId::MainView))
        m_state.setCaption(mainView->locationName());
    m_state.notify();
}

void Navigation::switchViews()
{
    Browser *mainView = m_host.browser(BrowserId::MainView);
    Browser *secondView = m_host.browser(BrowserId::SecondView);
    if (!mainView || !secondView)
        return;
    const bool toMainView = secondView->isVisible();
    secondView->setVisible(!toMainView);
    mainView->setVisible(toMainView);
    m_state.setVisible(controlName(BrowserId::MainView), toMainView);
    m_state.setVisible(controlName(BrowserId::SecondView), !toMainView);
    m_state.setCaption(toMainView ? QStringLiteral("Browser 1") : QStringLiteral("Browser 2"));
}

void Navigation::connectMainView()
{
    Browser *mainView = m_host.browser(BrowserId::MainView);
    if (!mainView)
        return;
    // No document events while a new page loads.
    connect(mainView, &Browser::beforeNavigate, this, [this] {
        if (m_state.mainViewEventsConnected())
            m_state.setMainViewEventsConnected(false);
    });
    // The address bar follows the page as soon as it commits, not once its
    // images are in.
    connect(mainView, &Browser::navigationCommitted, this, [this](const QString &url) { navigationCommitted(url); });
    connect(mainView, &Browser::downloadComplete, this, [this] { downloadComplete(); });
    connect(mainView, &Browser::documentComplete, this, [this](bool topLevel) { documentComplete(topLevel); });
}

void Navigation::navigationCommitted(const QString &url)
{
    Browser *mainView = m_host.browser(BrowserId::MainView);
    if (!mainView->isVisible() || m_state.privateZone())
        return;
    m_state.setComboText(m_state.Combo2, url);
    m_state.setPanelText(1, QStringLiteral("Working..."));
}

void Navigation::downloadComplete()
{
    if (!m_state.privateZone())
        m_state.setCaption(m_host.browser(BrowserId::MainView)->locationName());
    m_state.setPanelText(1, QStringLiteral("Done"));
}

void Navigation::documentComplete(bool topLevel)
{
    Browser *mainView = m_host.browser(BrowserId::MainView);
    const DocumentPtr document = mainView->document();
    if (topLevel && mainView->isVisible()) {
        if (!document)
            return;  // nothing to hook: the rest of the handler does not run
        m_state.setMainViewEventsConnected(true);
    }
    if (!document)
        return;
    // Offered at every completed document, frames included; recorded once.
    // Pages without a host (files, written pages) have no domain to record.
    if (!document->domain.isEmpty()) {
        if (!m_state.privateZone())
            addUnique(m_state.domain2, document->domain);
        else if (m_state.keepPrivateRecord())
            addUnique(m_state.domain, document->domain);
    }
    m_state.notify();
    emit mainViewDocumentReady();
}

void Navigation::toggleLinksListing()
{
    const QString links = QStringLiteral("listlinks");
    const QString clearAll = QStringLiteral("Command1");
    if (!m_state.control(links).visible) {
        m_state.setVisible(links, true);
        m_state.setVisible(clearAll, true);
        m_state.setVisible(QStringLiteral("domain"), false);
    } else {
        m_state.setVisible(links, false);
        m_state.setVisible(clearAll, false);
    }
}

}  // namespace quorvane
