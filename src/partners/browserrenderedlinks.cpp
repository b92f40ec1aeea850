#include "browserrenderedlinks.h"

#include "host/browser.h"
#include "host/timer.h"

namespace quorvane {

namespace {

void collectLinks(const HtmlDocument &document, QStringList &hrefs, int depth)
{
    for (const HtmlLink &link : document.links)
        hrefs.append(link.href);
    // A partner's link inside a frame of the page counts too.
    if (depth < 4) {
        for (const DocumentPtr &frame : document.frames) {
            if (frame)
                collectLinks(*frame, hrefs, depth + 1);
        }
    }
}

}  // namespace

BrowserRenderedLinks::BrowserRenderedLinks(Browser &browser, Timer &timeout, QObject *parent)
    : QObject(parent), m_browser(browser), m_timeout(timeout)
{
    connect(&m_browser, &Browser::documentComplete, this, [this](bool topLevel) {
        if (topLevel && m_done)
            finish(true);
    });
    connect(&m_timeout, &Timer::timeout, this, [this] {
        if (m_done)
            finish(false);
    });
}

BrowserRenderedLinks::~BrowserRenderedLinks()
{
    cancel();
}

void BrowserRenderedLinks::read(const QString &url, Done done)
{
    m_done = std::move(done);
    m_timeout.setEnabled(false);
    m_timeout.setInterval(TimeoutMs);
    m_timeout.setEnabled(true);
    m_browser.navigate(url);
}

void BrowserRenderedLinks::cancel()
{
    if (!m_done)
        return;
    m_done = {};
    m_timeout.setEnabled(false);
    m_browser.stop();
}

void BrowserRenderedLinks::finish(bool loaded)
{
    m_timeout.setEnabled(false);
    QStringList hrefs;
    if (loaded) {
        if (const DocumentPtr document = m_browser.document())
            collectLinks(*document, hrefs, 0);
        else
            loaded = false;
    }
    const Done done = std::move(m_done);
    m_done = {};
    done(loaded, hrefs);
}

}  // namespace quorvane
