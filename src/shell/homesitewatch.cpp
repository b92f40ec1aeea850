#include "homesitewatch.h"

#include "core/config.h"
#include "core/htmltext.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <memory>

namespace quorvane {

namespace {
bool showsNothing(const Browser &view)
{
    const QString url = view.locationUrl();
    return !view.busy() && (url.isEmpty() || url == QLatin1String("about:blank"));
}
}  // namespace

HomeSiteWatch::HomeSiteWatch(WindowState &state, Host &host, const Config &config)
    : m_state(state), m_host(host), m_config(config)
{
    for (const HomeSiteList &list : homeSiteLists) {
        if (Transfer *inet = m_host.transfer(list.slot)) {
            m_connections.append(QObject::connect(inet, &Transfer::finished, inet, [this, &list](const TransferResult &r) {
                // An answer that was an error means the site is there: no note, no retry.
                if (r.complete() || r.status == 0)
                    onListFinished(list, r.complete());
            }));
        }
    }
    if (Timer *timer = m_host.timer(TimerId::HomeSiteRetry)) {
        timer->setInterval(RetryInterval);
        m_connections.append(QObject::connect(timer, &Timer::timeout, timer, [this] { retry(); }));
    }
}

HomeSiteWatch::~HomeSiteWatch()
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        QObject::disconnect(c);
}

QString HomeSiteWatch::unreachableText(const QString &homeSite)
{
    return QStringLiteral("The home site %1 cannot be reached: its lists are retried every minute").arg(homeSite);
}

QString HomeSiteWatch::reachedText(const QString &homeSite)
{
    return QStringLiteral("The home site %1 answers again: its lists are in").arg(homeSite);
}

QString HomeSiteWatch::offlinePage(const QString &addressTried)
{
    return QStringLiteral("<html><head><title>Offline</title></head><body style='font-family: sans-serif'>"
                          "<h3>The home site cannot be reached</h3><p>Quorvane tried <code>%1</code> and got no "
                          "answer. The channel, search-engine, account and home-page lists are retried every "
                          "minute; the pages you open yourself work as usual.</p></body></html>")
        .arg(escapeHtmlText(addressTried));
}

void HomeSiteWatch::onListFinished(const HomeSiteList &list, bool complete)
{
    if (complete) {
        if (!m_failed.remove(list.slot) || !m_failed.isEmpty() || !m_reported)
            return;
        m_reported = false;
        if (Timer *timer = m_host.timer(TimerId::HomeSiteRetry))
            timer->setEnabled(false);
        m_state.setPanelText(1, reachedText(m_config.homeSite));
        // The welcome page replaces the offline note it stood in for.
        if (Browser *secondView = m_host.browser(BrowserId::SecondView))
            secondView->navigate(m_config.homeSiteUrl(QStringLiteral("/welcome.htm")));
        return;
    }
    m_failed.insert(list.slot);
    if (Timer *timer = m_host.timer(TimerId::HomeSiteRetry); timer && !timer->enabled())
        timer->setEnabled(true);
    if (m_reported)
        return;
    m_reported = true;
    m_state.setPanelText(1, unreachableText(m_config.homeSite));
    if (Browser *mainView = m_host.browser(BrowserId::MainView); mainView && showsNothing(*mainView))
        writeOfflineNote(*mainView);
    // The welcome page failed with its lists: the note replaces it once its load is over.
    if (Browser *secondView = m_host.browser(BrowserId::SecondView)) {
        if (!secondView->busy()) {
            writeOfflineNote(*secondView);
        } else {
            auto once = std::make_shared<QMetaObject::Connection>();
            *once = QObject::connect(secondView, &Browser::documentComplete, secondView, [this, secondView, once](bool top) {
                if (!top)
                    return;
                QObject::disconnect(*once);
                if (m_reported)
                    writeOfflineNote(*secondView);
            });
            m_connections.append(*once);
        }
    }
}

void HomeSiteWatch::writeOfflineNote(Browser &view)
{
    view.closeDocument();
    view.writeDocument(offlinePage(m_config.homeSiteUrl(QStringLiteral("/welcome.htm"))));
}

void HomeSiteWatch::retry()
{
    if (Timer *timer = m_host.timer(TimerId::HomeSiteRetry))
        timer->setEnabled(false);
    for (const HomeSiteList &list : homeSiteLists) {
        Transfer *inet = m_failed.contains(list.slot) ? m_host.transfer(list.slot) : nullptr;
        if (inet && !inet->stillExecuting())
            inet->execute(m_config.homeSiteUrl(QString::fromLatin1(list.path)), list.maxBytes);
    }
}

}  // namespace quorvane
