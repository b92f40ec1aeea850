#include "fakehost.h"

#include "host/gumbo/htmlparser.h"

#include <algorithm>
#include <utility>

namespace quorvane {

DocumentPtr FakeWeb::document(const QString &url, int depth) const
{
    if (!m_pages.contains(url))
        return nullptr;
    return parseHtmlDocument(m_pages.value(url), url,
                             [this](const QString &frameUrl, int frameDepth) { return document(frameUrl, frameDepth); },
                             depth);
}

FakeBrowser::FakeBrowser(QString name, const FakeWeb &web, QObject *parent)
    : Browser(parent), m_name(std::move(name)), m_web(web)
{
}

void FakeBrowser::navigate(const QString &url)
{
    m_navigations.append(url);
    emit beforeNavigate(url);
    m_pendingUrl = url;
    m_busy = true;
    m_committed = false;
}

void FakeBrowser::goBack()
{
    if (m_historyIndex <= 0)
        return;
    --m_historyIndex;
    show(m_history.at(m_historyIndex), m_web.document(m_history.at(m_historyIndex)));
}

void FakeBrowser::goForward()
{
    if (m_historyIndex + 1 >= m_history.size())
        return;
    ++m_historyIndex;
    show(m_history.at(m_historyIndex), m_web.document(m_history.at(m_historyIndex)));
}

void FakeBrowser::refresh()
{
    if (!m_url.isEmpty() && !m_busy)
        show(m_url, m_web.document(m_url));
}

void FakeBrowser::stop()
{
    ++m_stops;
    m_busy = false;
    m_committed = false;
    m_pendingUrl.clear();
}

void FakeBrowser::writeDocument(const QString &html)
{
    if (!m_writeOpen) {
        m_written.clear();
        m_writeOpen = true;
    }
    m_written += html;
    m_busy = false;
    m_url = QStringLiteral("about:blank");
    m_writtenUnparsed = true;
}

const DocumentPtr &FakeBrowser::current() const
{
    if (m_writtenUnparsed) {
        m_writtenUnparsed = false;
        m_writtenCharsParsed += m_written.size();
        m_document = parseHtmlDocument(m_written, m_url);
    }
    return m_document;
}

bool FakeBrowser::finishLoad()
{
    if (!m_busy)
        return false;
    const QString url = m_pendingUrl;
    m_history = m_history.mid(0, m_historyIndex + 1);
    m_history.append(url);
    m_historyIndex = int(m_history.size()) - 1;
    DocumentPtr document = m_web.document(url);
    if (!document)
        document = parseHtmlDocument(QString(), url);
    show(url, document);
    return true;
}

bool FakeBrowser::commitLoad()
{
    if (!m_busy || m_committed)
        return false;
    m_committed = true;
    m_url = m_pendingUrl;
    emit navigationCommitted(m_url);
    return true;
}

void FakeBrowser::load(const QString &url, const QString &html)
{
    navigate(url);
    m_busy = false;
    m_history = m_history.mid(0, m_historyIndex + 1);
    m_history.append(url);
    m_historyIndex = int(m_history.size()) - 1;
    show(url, parseHtmlDocument(html, url, [this](const QString &frameUrl, int depth) {
        return m_web.document(frameUrl, depth);
    }));
}

void FakeBrowser::show(const QString &url, DocumentPtr document)
{
    m_busy = false;
    m_pendingUrl.clear();
    m_url = url;
    m_writtenUnparsed = false;
    m_document = std::move(document);
    m_writeOpen = false;
    if (!std::exchange(m_committed, false))
        emit navigationCommitted(url);
    emit navigateComplete(url, true);
    emit downloadComplete();
    // Frames complete before the page, each once, depth first.
    std::function<void(const DocumentPtr &)> frames = [&](const DocumentPtr &doc) {
        if (!doc)
            return;
        for (const DocumentPtr &frame : doc->frames) {
            frames(frame);
            if (frame)
                emit documentComplete(false);
        }
    };
    frames(m_document);
    emit documentComplete(true);
}

FakeTransfer::FakeTransfer(QString name, QObject *parent) : Transfer(parent), m_name(std::move(name)) {}

void FakeTransfer::execute(const QString &url, int maxBytes)
{
    m_url = url;
    m_maxBytes = maxBytes;
    m_executing = true;
    m_body.clear();
    m_executed.append(url);
    m_userAgents.append(userAgent());
}

void FakeTransfer::cancel()
{
    ++m_cancels;
    m_executing = false;
}

void FakeTransfer::complete(const QString &body)
{
    respond(FakeResponse{200, body, {}, {}, {}});
}

void FakeTransfer::fail()
{
    respond(FakeResponse{0, {}, {}, {}, {}});
}

void FakeTransfer::respond(const FakeResponse &response)
{
    m_executing = false;
    const bool complete = (response.status > 0 && response.status < 400) || response.status == 416;
    m_body = !complete ? QString() : m_maxBytes > 0 ? response.body.left(m_maxBytes) : response.body;
    TransferResult result;
    result.state = complete ? TransferState::Complete : TransferState::Error;
    result.url = m_url;
    result.status = response.status;
    if (response.status > 0)
        result.finalUrl = response.finalUrl.isEmpty() ? m_url : response.finalUrl;
    result.redirects = response.redirects;
    for (const HttpHeaders::Field &field : response.headers)
        result.headers.add(field.first, field.second);
    emit finished(result);
}

FakeTimer::FakeTimer(QString name, ManualClock &clock, QObject *parent)
    : Timer(parent), m_name(std::move(name)), m_clock(clock)
{
    m_clock.add(this);
}

void FakeTimer::setInterval(int ms)
{
    m_interval = ms;
    m_deadline = m_clock.now() + ms;
}

void FakeTimer::setEnabled(bool enabled)
{
    // Like a window timer: enabling an enabled timer does not restart it.
    if (enabled && !m_enabled)
        m_deadline = m_clock.now() + m_interval;
    m_enabled = enabled;
}

void FakeTimer::fire()
{
    m_deadline = m_clock.now() + m_interval;
    emit timeout();
}

void ManualClock::advance(qint64 ms)
{
    const qint64 end = m_now + ms;
    for (;;) {
        FakeTimer *next = nullptr;
        for (FakeTimer *t : std::as_const(m_timers)) {
            if (t->enabled() && t->interval() > 0 && t->deadline() <= end && (!next || t->deadline() < next->deadline()))
                next = t;
        }
        if (!next)
            break;
        m_now = std::max(m_now, next->deadline());
        next->fire();
    }
    m_now = end;
}

FakeHost::FakeHost()
{
    for (BrowserId id : AllBrowsers)
        m_browsers[id] = std::make_unique<FakeBrowser>(controlName(id), m_web);
    m_browsers.at(BrowserId::MainView)->setVisible(true);
    for (TransferSlot slot : AllTransferSlots)
        m_transfers[slot] = std::make_unique<FakeTransfer>(controlName(slot));
    for (TimerId id : AllTimers)
        m_timers[id] = std::make_unique<FakeTimer>(controlName(id), m_clock);
    for (TimerId id : BackgroundTimers)
        m_timers[id] = std::make_unique<FakeTimer>(controlName(id), m_clock);
}

FakeHost::~FakeHost() = default;

}  // namespace quorvane
