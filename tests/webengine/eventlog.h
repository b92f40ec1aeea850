#pragma once

#include "host/browser.h"

#include <QList>
#include <QObject>
#include <QStringList>

namespace quorvane {

// Records a browser's events in order, with whether a document was readable
// and the browser busy when each was raised.
class EventLog final : public QObject {
public:
    explicit EventLog(Browser *browser) : QObject(browser), m_browser(browser)
    {
        connect(browser, &Browser::beforeNavigate, this, [this](const QString &url) { add(QStringLiteral("before ") + url); });
        connect(browser, &Browser::navigateComplete, this, [this](const QString &url, bool top) {
            add(QStringLiteral("navigate ") + url + (top ? QStringLiteral(" top") : QStringLiteral(" frame")));
        });
        connect(browser, &Browser::downloadComplete, this, [this] { add(QStringLiteral("download")); });
        connect(browser, &Browser::documentComplete, this, [this](bool top) {
            add(top ? QStringLiteral("document top") : QStringLiteral("document frame"));
        });
        connect(browser, &Browser::documentMouseOver, this, [this](const HtmlElement &e) { mouse(QStringLiteral("over"), e); });
        connect(browser, &Browser::documentMouseOut, this, [this](const HtmlElement &e) { mouse(QStringLiteral("out"), e); });
        connect(browser, &Browser::documentDoubleClick, this, [this](const HtmlElement &e) { mouse(QStringLiteral("dblclick"), e); });
    }

    const QStringList &events() const { return m_events; }
    const QList<bool> &documentReadable() const { return m_readable; }
    const QList<bool> &busy() const { return m_busy; }
    const QList<std::pair<QString, HtmlElement>> &mouseEvents() const { return m_mouse; }
    bool contains(const QString &event) const { return m_events.contains(event); }
    void clear()
    {
        m_events.clear();
        m_readable.clear();
        m_busy.clear();
        m_mouse.clear();
    }

private:
    void add(const QString &event)
    {
        m_events.append(event);
        m_readable.append(m_browser->document() != nullptr);
        m_busy.append(m_browser->busy());
    }
    void mouse(const QString &type, const HtmlElement &element) { m_mouse.append({type, element}); }

    Browser *m_browser;
    QStringList m_events;
    QList<bool> m_readable;
    QList<bool> m_busy;
    QList<std::pair<QString, HtmlElement>> m_mouse;
};

}  // namespace quorvane
