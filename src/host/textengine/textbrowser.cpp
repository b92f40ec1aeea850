#include "textbrowser.h"

#include "host/gumbo/htmlparser.h"

#include <QHash>
#include <QUrl>

namespace quorvane {

namespace {
constexpr char Blank[] = "about:blank";
}

TextBrowser::TextBrowser(QString name, TransferFactory transfers, QObject *parent)
    : Browser(parent), m_name(std::move(name)), m_factory(std::move(transfers))
{
}

TextBrowser::~TextBrowser()
{
    // Transfers must not report into a half-destroyed browser.
    if (m_page)
        m_page->disconnect(this);
    for (const auto &t : m_frameTransfers)
        t->disconnect(this);
}

QString TextBrowser::locationName() const
{
    const DocumentPtr &doc = current();
    return doc ? doc->title : QString();
}

void TextBrowser::navigate(const QString &url)
{
    load(url, true);
}

void TextBrowser::goBack()
{
    if (m_historyIndex <= 0)
        return;
    --m_historyIndex;
    load(m_history.at(m_historyIndex), false);
}

void TextBrowser::goForward()
{
    if (m_historyIndex + 1 >= m_history.size())
        return;
    ++m_historyIndex;
    load(m_history.at(m_historyIndex), false);
}

void TextBrowser::refresh()
{
    if (!m_busy && !m_url.isEmpty() && m_url != QLatin1String(Blank))
        load(m_url, false);
}

void TextBrowser::stop()
{
    // Ends a pending load without completion events, as a stopped navigation does.
    ++m_generation;
    if (m_page)
        m_page->cancel();
    for (const auto &t : m_frameTransfers)
        t->cancel();
    m_frameFetches.clear();
    m_busy = false;
}

void TextBrowser::load(const QString &url, bool addToHistory)
{
    stop();
    // Encoded, so "%20" stays an escape: decoded it would be a space, which the
    // transfer rightly refuses in an address.
    const QString target = QUrl::fromUserInput(url.trimmed()).toString(QUrl::FullyEncoded);
    if (!m_page) {
        m_page = m_factory();
        connect(m_page.get(), &Transfer::finished, this, &TextBrowser::onPageFinished);
    }
    m_busy = true;
    m_addToHistory = addToHistory;
    m_pendingUrl = target;
    m_html.clear();
    m_frameTexts.clear();
    m_failedFrames.clear();
    m_framesRequested = 0;
    m_writeOpen = false;
    emit beforeNavigate(target);
    if (!m_busy || m_pendingUrl != target)
        return;  // a listener stopped it or went elsewhere
    m_page->execute(target, MaxPageBytes);
}

void TextBrowser::onPageFinished(const TransferResult &result)
{
    if (!m_busy)
        return;
    if (!result.complete()) {
        // Like a browser showing its error page: the load completes, with no document to read.
        finish(nullptr);
        return;
    }
    m_html = m_page->readData(MaxPageBytes);
    assemble();
}

Transfer *TextBrowser::idleFrameTransfer()
{
    for (const auto &t : m_frameTransfers) {
        if (!m_frameFetches.contains(t.get()))
            return t.get();
    }
    m_frameTransfers.push_back(m_factory());
    Transfer *t = m_frameTransfers.back().get();
    connect(t, &Transfer::finished, this, [this, t](const TransferResult &r) { onFrameFinished(t, r); });
    return t;
}

void TextBrowser::onFrameFinished(Transfer *transfer, const TransferResult &result)
{
    const auto it = m_frameFetches.find(transfer);
    if (it == m_frameFetches.end())
        return;
    const QString url = it.value();
    m_frameFetches.erase(it);
    if (result.complete())
        m_frameTexts.insert(url, transfer->readData(MaxPageBytes));
    else
        m_failedFrames.insert(url);
    if (m_frameFetches.isEmpty())
        assemble();
}

void TextBrowser::assemble()
{
    QStringList missing;
    // A page may name one frame a thousand times: each frame is parsed once
    // per depth and shared, and all frames together are parsed up to a budget.
    QHash<QPair<QString, int>, DocumentPtr> parsed;
    qsizetype budget = MaxFrameTextPerPage;
    FrameLoader loader;
    loader = [&](const QString &frameUrl, int depth) -> DocumentPtr {
        if (depth > MaxFrameDepth || m_failedFrames.contains(frameUrl))
            return nullptr;
        const auto it = m_frameTexts.constFind(frameUrl);
        if (it == m_frameTexts.cend()) {
            if (!missing.contains(frameUrl))
                missing.append(frameUrl);
            return nullptr;
        }
        const QPair<QString, int> key(frameUrl, depth);
        if (const auto done = parsed.constFind(key); done != parsed.cend())
            return done.value();
        if (it.value().size() > budget)
            return nullptr;
        budget -= it.value().size();
        DocumentPtr frame = parseHtmlDocument(it.value(), frameUrl, loader, depth);
        parsed.insert(key, frame);
        return frame;
    };
    DocumentPtr document = parseHtmlDocument(m_html, m_pendingUrl, loader);

    const quint64 generation = m_generation;
    for (const QString &frameUrl : std::as_const(missing)) {
        if (m_framesRequested >= MaxFrames)
            break;
        ++m_framesRequested;
        Transfer *t = idleFrameTransfer();
        m_frameFetches.insert(t, frameUrl);
        t->execute(frameUrl, MaxPageBytes);
        if (generation != m_generation)
            return;
    }
    if (m_frameFetches.isEmpty())
        finish(std::move(document));
}

void TextBrowser::finish(DocumentPtr document)
{
    const quint64 generation = ++m_generation;
    m_busy = false;
    m_url = m_pendingUrl;
    m_document = std::move(document);
    m_writtenUnparsed = false;
    m_html.clear();
    m_frameTexts.clear();
    if (m_addToHistory) {
        m_history = m_history.mid(0, m_historyIndex + 1);
        m_history.append(m_url);
        m_historyIndex = int(m_history.size()) - 1;
    }
    // Listeners may start another load; stop raising this one's events then.
    const auto current = [this, generation] { return generation == m_generation; };
    // The page is read whole before anything is shown of it: it commits here.
    emit navigationCommitted(m_url);
    if (!current())
        return;
    emit navigateComplete(m_url, true);
    if (!current())
        return;
    emit downloadComplete();
    if (!current())
        return;
    const DocumentPtr page = m_document;
    std::function<bool(const DocumentPtr &)> frames = [&](const DocumentPtr &doc) {
        if (!doc)
            return true;
        for (const DocumentPtr &frame : doc->frames) {
            if (!frames(frame))
                return false;
            if (frame) {
                emit documentComplete(false);
                if (!current())
                    return false;
            }
        }
        return true;
    };
    if (!frames(page))
        return;
    emit documentComplete(true);
}

void TextBrowser::writeDocument(const QString &html)
{
    if (m_busy)
        stop();
    if (!m_writeOpen) {
        m_written.clear();
        m_writeOpen = true;
    }
    m_written += html;
    m_url = QString::fromLatin1(Blank);
    m_writtenUnparsed = true;
}

const DocumentPtr &TextBrowser::current() const
{
    if (m_writtenUnparsed) {
        m_writtenUnparsed = false;
        m_writtenCharsParsed += m_written.size();
        m_document = parseHtmlDocument(m_written, m_url);
    }
    return m_document;
}

}  // namespace quorvane
