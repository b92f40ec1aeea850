#include "webenginebrowser.h"

#include "framesnapshot.h"
#include "localpagepolicy.h"
#include "pagebridge.h"
#include "rendererwatch.h"

#include "host/qt/mouseinput.h"
#include "host/safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebChannel>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quorvane {

namespace {

constexpr int kMaxInstances = 6;
// A snapshot this large leaves megabytes of freed parse buffers behind.
constexpr qsizetype kTrimAfterChars = 1024 * 1024;
constexpr qsizetype kMaxWrittenChars = kMaxSnapshotChars;
const auto kBridgeName = QStringLiteral("quorvaneBridge");
const auto kBlank = QStringLiteral("about:blank");

QString resourceText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("quorvane: missing resource %s", qPrintable(path));
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

const QString &snapshotSource()
{
    static const QString source = resourceText(QStringLiteral(":/quorvane/snapshot.js"));
    return source;
}

const QString &currentSource()
{
    static const QString source = resourceText(QStringLiteral(":/quorvane/current.js"));
    return source;
}

const QString &writeSource()
{
    static const QString source = resourceText(QStringLiteral(":/quorvane/write.js"));
    return source;
}

const QString &linkHoldSource()
{
    static const QString source = resourceText(QStringLiteral(":/quorvane/linkhold.js"));
    return source;
}

QString linkHoldSetting(int ms)
{
    return QStringLiteral("window.quorvaneLinkHold = %1;\n").arg(ms);
}

const QString &channelSource()
{
    static const QString source = resourceText(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    return source;
}

// The text as a JavaScript string literal: JSON escaping, plus the two line
// terminators JSON allows raw but older JavaScript does not.
QString jsStringLiteral(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    QString literal = QString::fromUtf8(array.mid(1, array.size() - 2));
    literal.replace(QChar(0x2028), QLatin1String("\\u2028"));
    literal.replace(QChar(0x2029), QLatin1String("\\u2029"));
    return literal;
}

// Why the engine could not save into file, or nothing. The engine creates a
// missing folder on its own and aborts the program on one it cannot create,
// so the target is checked before it gets it.
QString saveTargetProblem(const QString &file)
{
    const QFileInfo target(file);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return QStringLiteral("no such folder");
    if (!folder.isDir())
        return QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (target.isDir())
        return QStringLiteral("it is a folder");
    if (!folder.isWritable() || (target.exists() && !target.isWritable()))
        return QStringLiteral("permission denied");
    return QString();
}

QString instanceKey(const QString &window, int sequence)
{
    return window + QLatin1Char('/') + QString::number(sequence);
}

}  // namespace

WebEngineBrowser::WebEngineBrowser(QString name, QWebEngineProfile *profile, bool withView, QObject *parent)
    : Browser(parent), m_name(std::move(name)), m_profile(profile), m_bounded(!withView)
{
    m_bridge = new PageBridge(
        [this](const QString &window, int sequence, const QString &text) { onSnapshot(window, sequence, text); },
        [this](const QString &type, const QString &json) { onMouse(type, json); }, this);
    m_channel = new QWebChannel(this);
    m_channel->registerObject(kBridgeName, m_bridge);
    m_retakeTimer = new QTimer(this);
    m_retakeTimer->setSingleShot(true);
    m_retakeTimer->setInterval(RetakeQuietMs);
    connect(m_retakeTimer, &QTimer::timeout, this, [this] {
        m_page->runJavaScript(QStringLiteral("(function () { const s = window.__quorvaneState;"
                                             " if (s && typeof s.retake === 'function') s.retake(); })();"),
                              QWebEngineScript::ApplicationWorld);
    });
    createPage();
    if (withView)
        m_view = new QWebEngineView(m_page);

    if (m_bounded) {
        m_watch = new RendererWatch([this] { return m_page->renderProcessPid(); }, MaxRendererBytes,
                                    RendererCheckMs, this);
        connect(m_watch, &RendererWatch::limitPassed, this, [this](qint64 bytes) {
            giveUpPage(QStringLiteral("its renderer took %1 MiB").arg(bytes / (1024 * 1024)));
        });
    }
}

WebEngineBrowser::~WebEngineBrowser()
{
    m_closing = true;
    if (m_watch)
        m_watch->stop();
    m_page->disconnect(this);
    delete m_view.data();
    delete m_page;
}

QWebEngineView *WebEngineBrowser::view() const
{
    return m_view.data();
}

void WebEngineBrowser::createPage()
{
    m_page = new QWebEnginePage(m_profile, this);
    // Remote pictures show in local pages; the policy refuses their scripts' remote requests.
    if (!m_localPolicy)
        m_localPolicy = new LocalPagePolicy(this);
    m_page->setUrlRequestInterceptor(m_localPolicy);
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    m_page->setWebChannel(m_channel, QWebEngineScript::ApplicationWorld);
    installScripts();
    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::onLoadingChanged);
    // The page's address changes when a navigation commits, long before a
    // page with slow images finishes loading.
    connect(m_page, &QWebEnginePage::urlChanged, this, &WebEngineBrowser::onUrlChanged);
    // A page that navigates again within the same load (a reload or redirect
    // of its own at its load event) brings another document the engine
    // reports no load of: which one is shown must then be asked.
    connect(m_page, &QWebEnginePage::navigationRequested, this, [this](QWebEngineNavigationRequest &request) {
        if (request.isMainFrame() && !m_newWindow.isEmpty())
            m_newWindowSure = false;
    });
    if (m_bounded) {
        // Killed or crashed mid-load (out of memory, say): the engine may never
        // finish that load.
        connect(m_page, &QWebEnginePage::renderProcessTerminated, this, [this] {
            if (m_busy || m_owesDocument)
                giveUpPage(QStringLiteral("its renderer ended"));
        });
    }
}

void WebEngineBrowser::installScripts()
{
    const auto add = [this](const char *name, const QString &source, QWebEngineScript::InjectionPoint point,
                            bool subFrames) {
        QWebEngineScript script;
        script.setName(QString::fromLatin1(name));
        script.setSourceCode(source);
        script.setInjectionPoint(point);
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setRunsOnSubFrames(subFrames);
        m_page->scripts().insert(script);
    };
    add("quorvane-channel", channelSource(), QWebEngineScript::DocumentCreation, false);
    // In the top frame early too, so it hears frames that load before the top is parsed.
    add("quorvane-snapshot-early", snapshotSource(), QWebEngineScript::DocumentCreation, false);
    add("quorvane-snapshot", snapshotSource(), QWebEngineScript::DocumentReady, true);
    add("quorvane-linkhold", linkHoldSetting(m_linkHoldMs) + linkHoldSource(), QWebEngineScript::DocumentCreation, true);
}

void WebEngineBrowser::setLinkClickHold(int ms)
{
    ms = std::max(ms, 0);
    if (ms == m_linkHoldMs)
        return;
    m_linkHoldMs = ms;
    // For the documents to come, and at once for the one shown.
    QWebEngineScriptCollection &scripts = m_page->scripts();
    for (const QWebEngineScript &old : scripts.find(QStringLiteral("quorvane-linkhold"))) {
        QWebEngineScript script = old;
        scripts.remove(old);
        script.setSourceCode(linkHoldSetting(ms) + linkHoldSource());
        scripts.insert(script);
    }
    m_page->runJavaScript(linkHoldSetting(ms), QWebEngineScript::ApplicationWorld);
}

void WebEngineBrowser::navigate(const QString &url)
{
    const QUrl target = QUrl::fromUserInput(url);
    if (!target.isValid())
        return;
    m_internalLoad = false;
    // Announced at once, as callers test busy() right after navigating; the
    // engine reports the start later, and only once for a load it replaces.
    m_busy = true;
    m_owesDocument = false;
    m_loadUrl = target.toString();
    m_givenUpUrl.clear();
    m_document.reset();
    m_writeOpen = false;
    m_showsWritten = false;
    forgetWritten();
    // A write not yet flushed is superseded: flushed later it would replace this load with a blank page.
    m_writePending = false;
    m_announced = true;
    if (m_watch)
        m_watch->start();
    emit beforeNavigate(target.toString());
    m_page->load(target);
}

void WebEngineBrowser::goBack()
{
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebEngineBrowser::goForward()
{
    m_page->triggerAction(QWebEnginePage::Forward);
}

void WebEngineBrowser::refresh()
{
    m_page->triggerAction(QWebEnginePage::Reload);
}

void WebEngineBrowser::stop()
{
    if (!m_qtLoading) {
        // A load asked for but not started yet ends here too.
        m_busy = false;
        m_announced = false;
    }
    m_page->triggerAction(QWebEnginePage::Stop);
}

void WebEngineBrowser::runPageCommand(PageCommand command)
{
    switch (command) {
    case PageCommand::Copy:
        m_page->triggerAction(QWebEnginePage::Copy);
        break;
    case PageCommand::SelectAll:
        m_page->triggerAction(QWebEnginePage::SelectAll);
        break;
    case PageCommand::SaveAs:
    case PageCommand::Print:
    case PageCommand::PageSetup:
        emit pageCommandRequested(command);
        break;
    }
}

void WebEngineBrowser::savePage(const QString &file, std::function<void(const QString &error)> done)
{
    if (m_showsWritten) {
        QString error;
        if (writeFileAtomically(file, m_written.toUtf8(), &error))
            done(QString());
        else
            done(error.isEmpty() ? QStringLiteral("the file could not be written") : error);
        return;
    }
    if (const QString problem = saveTargetProblem(file); !problem.isEmpty()) {
        done(problem);
        return;
    }
    // One engine save at a time: a second one started meanwhile would cancel the first.
    m_saves.append({QFileInfo(file).absoluteFilePath(), std::move(done)});
    startSave();
}

// The engine saves as a download of the profile, which tells how it ended.
void WebEngineBrowser::startSave()
{
    if (m_saves.isEmpty() || m_saveRunning)
        return;
    m_saveRunning = true;
    m_saveStarted = false;
    if (!m_saveWatch) {
        m_saveWatch = connect(m_profile, &QWebEngineProfile::downloadRequested, this,
                              &WebEngineBrowser::onDownloadRequested);
    }
    const QString file = m_saves.first().file;
    const auto format = file.endsWith(QLatin1String(".mht"), Qt::CaseInsensitive)
                            ? QWebEngineDownloadRequest::MimeHtmlSaveFormat
                            : QWebEngineDownloadRequest::SingleHtmlSaveFormat;
    const int save = ++m_saveSequence;
    m_page->save(file, format);
    // A save the engine never starts must not hold up the next.
    QTimer::singleShot(SaveStartMs, this, [this, save] {
        if (save == m_saveSequence && m_saveRunning && !m_saveStarted)
            finishSave(QStringLiteral("the engine did not start the save"));
    });
}

void WebEngineBrowser::onDownloadRequested(QWebEngineDownloadRequest *download)
{
    if (!m_saveRunning || m_saveStarted || !download->isSavePageDownload() || download->page() != m_page)
        return;
    const QString path = QDir(download->downloadDirectory()).absoluteFilePath(download->downloadFileName());
    if (path != m_saves.first().file)
        return;
    m_saveStarted = true;
    const int save = m_saveSequence;
    const auto finished = [this, download, save] {
        if (save != m_saveSequence)
            return;
        switch (download->state()) {
        case QWebEngineDownloadRequest::DownloadCompleted:
            finishSave(QString());
            break;
        case QWebEngineDownloadRequest::DownloadCancelled:
            finishSave(QStringLiteral("the save was cancelled"));
            break;
        default:
            finishSave(download->interruptReasonString());
            break;
        }
    };
    if (download->isFinished()) {
        finished();
        return;
    }
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [download, finished] {
        if (download->isFinished())
            finished();
    });
    if (download->state() == QWebEngineDownloadRequest::DownloadRequested)
        download->accept();
}

void WebEngineBrowser::finishSave(const QString &error)
{
    const std::function<void(const QString &)> done = m_saves.takeFirst().done;
    m_saveRunning = false;
    m_saveStarted = false;
    ++m_saveSequence;
    if (m_saves.isEmpty())
        disconnect(std::exchange(m_saveWatch, {}));
    // Not from inside the engine's signal: it aborts on a save started there,
    // and the caller may show a dialog.
    QTimer::singleShot(0, this, [this, done, error] {
        done(error);
        startSave();
    });
}

QString WebEngineBrowser::locationName() const
{
    return m_document ? m_document->title : m_page->title();
}

QString WebEngineBrowser::locationUrl() const
{
    if (m_showsWritten)
        return kBlank;
    return m_givenUpUrl.isEmpty() ? m_page->url().toString() : m_givenUpUrl;
}

void WebEngineBrowser::setVisible(bool visible)
{
    m_visible = visible;
    if (m_view)
        m_view->setVisible(visible);
}

void WebEngineBrowser::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        // A load cut short, or one still being asked about, may report after this one has begun.
        m_newWindowSure = !m_qtLoading && !m_resolving;
        m_newWindow.clear();
        m_earlierWindows.clear();
        for (const auto &[key, inst] : m_instances)
            m_earlierWindows.insert(inst.window);
        if (!m_currentWindow.isEmpty())
            m_earlierWindows.insert(m_currentWindow);
        m_qtLoading = true;
        ++m_generation;
        m_resolving = false;
        m_currentKey.clear();
        m_topShown = false;
        m_holdCurrent = false;
        m_document.reset();
        m_ownBlank = false;
        m_owesDocument = false;
        forgetWritten();
        if (m_internalLoad) {
            // Our own blank page for writing: nothing of a stranger's to watch.
            if (m_watch)
                m_watch->stop();
            return;
        }
        m_busy = true;
        m_committed = false;
        m_writeOpen = false;
        m_showsWritten = false;
        m_givenUpUrl.clear();
        if (m_watch)
            m_watch->start();
        if (!std::exchange(m_announced, false)) {
            m_loadUrl = info.url().toString();
            emit beforeNavigate(m_loadUrl);
        }
        return;
    }

    // Succeeded, failed or stopped: the load is over either way.
    m_qtLoading = false;
    if (m_internalLoad) {
        m_internalLoad = false;
        m_ownBlank = true;
        resolveCurrent(true);
        flushWrite();
        return;
    }
    const int generation = m_generation;
    QUrl url = m_page->url();
    if (url.isEmpty())
        url = info.url();
    // A load that kept its address (a reload, the same address again) showed
    // no change of it: its commit is announced now, so every load has one.
    if (!std::exchange(m_committed, true)) {
        emit navigationCommitted(url.toString());
        if (generation != m_generation || m_qtLoading)
            return;  // a handler started another load
    }
    m_busy = false;
    m_owesDocument = true;  // a navigation from a handler of the events below clears it
    emit navigateComplete(url.toString(), true);
    emit downloadComplete();
    if (generation != m_generation || m_qtLoading)
        return;  // a handler started another load
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus && knowsShownDocument()) {
        // The renderer is busy painting the new page for a while yet: asking
        // it would hold the document back until then.
        makeCurrent(m_newWindow, newestReport(m_newWindow)->sequence, false);
        activate();
        adoptNewest();
    } else {
        resolveCurrent(false);
    }
    flushWrite();
}

// A top document's report during a load that is not our own blank page.
void WebEngineBrowser::noteTopReport(const QString &window)
{
    if (!m_qtLoading || m_internalLoad || m_earlierWindows.contains(window))
        return;
    if (!m_committed || (!m_newWindow.isEmpty() && m_newWindow != window))
        m_newWindowSure = false;  // cannot tell which document reported
    else
        m_newWindow = window;
}

// Whether the one document that reported after the commit is the one shown:
// only in an unbounded view (a bounded one checks the body's size in the
// page), only for a report of the address the load ended at, and only
// without frames (their reports come through the page, and asking it lets
// them all arrive before the page completes).
bool WebEngineBrowser::knowsShownDocument() const
{
    if (m_bounded || !m_newWindowSure || m_newWindow.isEmpty())
        return false;
    const Instance *newest = newestReport(m_newWindow);
    if (!newest)
        return false;
    const FrameSnapshot &top = *newest->tree.top();
    return top.frameCount == 0 && top.document->url == m_page->url().toString();
}

// The latest document instance of window whose top has reported, or null.
const WebEngineBrowser::Instance *WebEngineBrowser::newestReport(const QString &window) const
{
    const Instance *newest = nullptr;
    for (const auto &[key, inst] : m_instances) {
        if (inst.window == window && inst.tree.hasTop() && (!newest || inst.sequence > newest->sequence))
            newest = &inst;
    }
    return newest;
}

void WebEngineBrowser::onUrlChanged(const QUrl &url)
{
    // Only a load of someone else's page commits for the callers; the blank
    // page a write goes into is no navigation.
    if (!m_qtLoading || m_internalLoad || m_committed)
        return;
    m_committed = true;
    emit navigationCommitted(url.toString());
}

// Asks the top frame which document instance it shows; snapshots stay
// unpublished until then, so a late report of the previous page is never taken
// for the new one.
void WebEngineBrowser::resolveCurrent(bool silent)
{
    m_resolving = true;
    ++m_documentQueries;
    const int generation = m_generation;
    QPointer<WebEngineBrowser> self(this);
    m_page->runJavaScript(currentSource(), QWebEngineScript::ApplicationWorld,
                          [self, generation, silent](const QVariant &current) {
                              if (!self || self->m_closing || self->m_generation != generation || !self->m_resolving)
                                  return;
                              self->finishResolve(current, silent);
                          });
}

void WebEngineBrowser::finishResolve(const QVariant &current, bool silent)
{
    m_resolving = false;
    const QVariantList list = current.toList();
    if (m_bounded && !silent && list.size() == 3 && list.at(2).toDouble() > MaxReaderPageBytes) {
        giveUpPage(QStringLiteral("its body of %1 bytes is over the cap").arg(list.at(2).toLongLong()));
        return;
    }
    if (list.size() == 3 && list.at(0).typeId() == QMetaType::QString && list.at(1).canConvert<int>()) {
        makeCurrent(list.at(0).toString(), list.at(1).toInt(), silent);
        activate();
        adoptNewest();
        return;
    }
    // No snapshot script ran in this document (not HTML, or an engine page):
    // an empty snapshot still completes the navigation.
    m_currentKey.clear();
    auto doc = std::make_shared<HtmlDocument>();
    doc->url = m_page->url().toString();
    doc->title = m_page->title();
    m_document = std::move(doc);
    if (!silent) {
        m_owesDocument = false;
        emit documentComplete(true);
    }
}

void WebEngineBrowser::makeCurrent(const QString &window, int sequence, bool silent)
{
    m_currentWindow = window;
    m_currentSequence = sequence;
    m_currentKey = instanceKey(window, sequence);
    m_silent = silent;
    m_topShown = false;
    m_document.reset();
    // Other windows and older documents of this one are gone for good.
    for (auto it = m_instances.begin(); it != m_instances.end();) {
        if (it->second.window != window || it->second.sequence < sequence) {
            m_instanceOrder.removeOne(it->first);
            it = m_instances.erase(it);
        } else {
            ++it;
        }
    }
}

// A later document of the same window (document.open() by a write or by the
// page) replaces the current one, without document events.
void WebEngineBrowser::adoptNewest()
{
    const Instance *newest = nullptr;
    for (const auto &[key, inst] : m_instances) {
        if (inst.window == m_currentWindow && inst.sequence > m_currentSequence
            && (!newest || inst.sequence > newest->sequence))
            newest = &inst;
    }
    if (!newest)
        return;
    const QString window = newest->window;  // makeCurrent prunes the map
    makeCurrent(window, newest->sequence, true);
    m_holdCurrent = false;
    activate();
}

// Publishes the current instance once its top has reported, with the frame
// events it owes.
void WebEngineBrowser::activate()
{
    auto it = m_instances.find(m_currentKey);
    if (it == m_instances.end() || !it->second.tree.hasTop())
        return;
    m_topShown = true;
    publish();
    if (m_silent)
        return;
    const int frames = std::exchange(it->second.unannouncedFrames, 0);
    const QString key = m_currentKey;
    for (int i = 0; i < frames && key == m_currentKey; ++i)
        emit documentComplete(false);
    if (key == m_currentKey) {
        m_owesDocument = false;
        emit documentComplete(true);
    }
}

void WebEngineBrowser::publish()
{
    const auto it = m_instances.find(m_currentKey);
    if (it == m_instances.end())
        return;
    DocumentPtr doc = it->second.tree.build();
    if (doc && m_showsWritten && doc->url != kBlank) {
        auto written = std::make_shared<HtmlDocument>(*doc);
        written->url = kBlank;
        doc = std::move(written);
    }
    m_document = std::move(doc);
}

WebEngineBrowser::Instance &WebEngineBrowser::instance(const QString &window, int sequence)
{
    const QString key = instanceKey(window, sequence);
    auto it = m_instances.find(key);
    if (it != m_instances.end())
        return it->second;
    // Bounded: a page can invent window ids and sequences.
    while (m_instances.size() >= size_t(kMaxInstances)) {
        qsizetype victim = 0;
        while (victim < m_instanceOrder.size() - 1 && m_instanceOrder.at(victim) == m_currentKey)
            ++victim;
        m_instances.erase(m_instanceOrder.at(victim));
        m_instanceOrder.removeAt(victim);
    }
    m_instanceOrder.append(key);
    Instance &inst = m_instances[key];
    inst.window = window;
    inst.sequence = sequence;
    return inst;
}

void WebEngineBrowser::onSnapshot(const QString &window, int sequence, const QString &text)
{
    if (m_closing || window.isEmpty() || window.size() > 64 || sequence <= 0)
        return;
    std::optional<FrameSnapshot> snapshot = parseFrameSnapshot(text);
#if defined(__GLIBC__)
    // The allocator keeps what the message and its parse freed; handed back
    // once they are gone, the program does not stay as large as its biggest page.
    if (text.size() > kTrimAfterChars)
        QTimer::singleShot(0, [] { malloc_trim(0); });
#endif
    if (!snapshot)
        return;
    const bool isTop = snapshot->path.empty();
    if (isTop)
        noteTopReport(window);

    const bool settled = !m_qtLoading && !m_resolving && !m_currentKey.isEmpty();
    if (settled && window == m_currentWindow && sequence > m_currentSequence) {
        makeCurrent(window, sequence, true);
        m_holdCurrent = false;
    }

    Instance &inst = instance(window, sequence);
    if (!inst.tree.add(std::move(*snapshot)))
        return;
    const bool current = settled && instanceKey(window, sequence) == m_currentKey && !m_holdCurrent;
    if (!current || !m_topShown) {
        // Frames may report before or after the top; all are announced when the page is.
        if (!isTop)
            ++inst.unannouncedFrames;
        if (current)
            activate();
        return;
    }
    // A frame that loaded or reloaded after the page completed.
    publish();
    if (!isTop && !m_silent)
        emit documentComplete(false);
}

void WebEngineBrowser::onMouse(const QString &type, const QString &json)
{
    if (m_closing)
        return;
    const std::optional<HtmlElement> element = parseMouseElement(json);
    if (!element)
        return;
    if (type == QLatin1String("mouseover"))
        emit documentMouseOver(*element);
    else if (type == QLatin1String("mouseout"))
        emit documentMouseOut(*element);
    else if (type == QLatin1String("dblclick"))
        emit documentDoubleClick(*element);
}

void WebEngineBrowser::writeDocument(const QString &html)
{
    if (!m_writeOpen) {
        m_written.clear();
        m_writtenSent = 0;
        m_appendable = false;
        m_writeOpen = true;
        m_sinceOpen.start();
    }
    if (m_written.size() + html.size() > kMaxWrittenChars) {
        qWarning("quorvane: %s: written document too large, text dropped", qPrintable(m_name));
        return;
    }
    m_written += html;
    m_showsWritten = true;
    m_holdCurrent = true;
    m_document.reset();
    m_writePending = true;
    // The grown document is read once the appends pause, not between two of them.
    m_retakeTimer->stop();
    scheduleWrite();
}

// Writes made within one frame reach the page as one call.
void WebEngineBrowser::scheduleWrite()
{
    if (m_writeScheduled)
        return;
    m_writeScheduled = true;
    int delay = 0;
    if (m_writtenSent == 0) {
        const qint64 since = m_sinceOpen.isValid() ? m_sinceOpen.elapsed() : qint64(FirstWriteMs);
        delay = int(std::clamp<qint64>(FirstWriteMs - since, 0, FirstWriteMs));
    } else {
        const int interval = writeIntervalMs(m_writtenSent);
        const qint64 since = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : qint64(interval);
        delay = int(std::clamp<qint64>(interval - since, 0, interval));
    }
    QTimer::singleShot(delay, this, [this] {
        m_writeScheduled = false;
        flushWrite();
    });
}

// The page no longer holds a document written by this instance.
void WebEngineBrowser::forgetWritten()
{
    m_writtenSent = 0;
    m_appendable = false;
    m_writeInFlight = false;
    m_retakeTimer->stop();
}

void WebEngineBrowser::scheduleRetake()
{
    m_retakeTimer->start();
}

// The page goes, and with it the renderer process that holds its memory (a
// busy renderer is not asked: the engine ends it). A new page takes its place
// at once, so the reader is ready for the next navigation. A load the logic
// waits on completes as any failed one does.
void WebEngineBrowser::giveUpPage(const QString &why)
{
    const bool owesLoad = m_busy;
    const bool owesDocument = owesLoad || m_owesDocument;
    const QString url = m_loadUrl.isEmpty() ? m_page->url().toString() : m_loadUrl;
    qWarning("quorvane: %s: gave up %s: %s", qPrintable(m_name), qPrintable(url), qPrintable(why));

    m_watch->stop();
    ++m_generation;  // callbacks of the old page are stale
    QWebEnginePage *old = std::exchange(m_page, nullptr);
    old->disconnect(this);
    old->setWebChannel(nullptr);  // its late reports are not for the new page
    old->triggerAction(QWebEnginePage::Stop);
    // Later: this may run inside one of the old page's own signals.
    old->deleteLater();
    createPage();

    m_qtLoading = false;
    m_announced = false;
    m_busy = false;
    m_internalLoad = false;
    m_resolving = false;
    m_owesDocument = false;
    m_instances.clear();
    m_instanceOrder.clear();
    m_currentKey.clear();
    m_topShown = false;
    m_holdCurrent = false;
    m_ownBlank = false;
    forgetWritten();
    m_givenUpUrl = url;

    // A page read already keeps its snapshot; a page still owed has none.
    if (owesDocument) {
        m_document.reset();
        const int generation = m_generation;
        const auto moved = [&] { return generation != m_generation || m_busy; };  // a handler started another load
        if (owesLoad) {
            emit navigateComplete(url, true);
            if (moved())
                return;
            emit downloadComplete();
            if (moved())
                return;
        }
        emit documentComplete(true);
        if (moved())
            return;
    }
    flushWrite();
}

void WebEngineBrowser::startInternalLoad()
{
    m_internalLoad = true;
    m_page->load(QUrl(kBlank));
}

void WebEngineBrowser::pointAt(const QString &selector, PointerAction action, std::function<void(bool found)> done)
{
    QWidget *target = m_view ? m_view->focusProxy() : nullptr;
    if (!target) {
        if (done)
            done(false);
        return;
    }
    if (action == PointerAction::Leave) {
        // The pointer leaves the view: the page gets mouseout from the element under it.
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(target, &leave);
        if (done)
            done(true);
        return;
    }
    // The element's centre in CSS pixels of the viewport, scrolled into view first.
    // The selector goes in as a JSON string: data, never script text.
    const QString source = QLatin1String(
                               "(function (selector) {"
                               " let element = null;"
                               " try { element = document.querySelector(selector); } catch (e) { return null; }"
                               " if (!element) return null;"
                               " element.scrollIntoView({ block: 'center', inline: 'center' });"
                               " const r = element.getBoundingClientRect();"
                               " return [r.left + r.width / 2, r.top + r.height / 2]; })(")
        + jsStringLiteral(selector) + QLatin1String(");");
    QPointer<WebEngineBrowser> self(this);
    m_page->runJavaScript(source, QWebEngineScript::MainWorld, [self, action, done](const QVariant &centre) {
        if (!self)
            return;
        const QVariantList xy = centre.toList();
        QWidget *target = self->m_view ? self->m_view->focusProxy() : nullptr;
        if (xy.size() != 2 || !target) {
            if (done)
                done(false);
            return;
        }
        const qreal zoom = self->m_page->zoomFactor();
        const QPointF local(xy.at(0).toDouble() * zoom, xy.at(1).toDouble() * zoom);
        QList<QEvent::Type> events{QEvent::MouseMove};
        if (action == PointerAction::Click || action == PointerAction::DoubleClick)
            events += {QEvent::MouseButtonPress, QEvent::MouseButtonRelease};
        if (action == PointerAction::DoubleClick)
            events += {QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
        sendMouseEvents(target, local, Qt::LeftButton, events);
        if (done)
            done(true);
    });
}

// A new document is written whole (open, write, close: an open one would keep
// the page loading); text written to it later is appended to its body.
void WebEngineBrowser::flushWrite()
{
    if (!m_writePending || m_qtLoading || m_internalLoad)
        return;  // resumes when the load finishes
    // A busy renderer gets the next text when it has taken the last, in one
    // piece: the slower it is, the fewer and larger the appends.
    if (m_writeInFlight)
        return;
    if (!m_ownBlank) {
        // Written text goes into a blank page of our own, never into the page
        // shown: that page's script could read or change a report written
        // into its document.
        startInternalLoad();
        return;
    }
    m_writePending = false;
    m_holdCurrent = true;
    m_document.reset();
    m_retakeTimer->stop();
    const bool append = m_appendable && m_writtenSent > 0 && m_writtenSent <= m_written.size();
    const QString text = append ? m_written.mid(m_writtenSent) : m_written;
    m_writtenSent = m_written.size();
    m_appendable = true;  // the page runs the calls in order: a failed one is answered below
    m_writeCharsSent += text.size();
    ++m_writesSent;
    m_sinceFlush.start();
    m_writeInFlight = true;
    const quint64 serial = ++m_writeSerial;
    const QString source = writeSource() + QLatin1Char('(') + jsStringLiteral(text)
        + (append ? QLatin1String(", true);") : QLatin1String(", false);"));
    const int generation = m_generation;
    QPointer<WebEngineBrowser> self(this);
    m_page->runJavaScript(source, QWebEngineScript::MainWorld, [self, generation, append, serial](const QVariant &ok) {
        if (!self || self->m_closing || self->m_generation != generation)
            return;
        self->m_writeInFlight = false;
        if (self->m_writePending)
            self->scheduleWrite();
        if (ok.toBool()) {
            self->m_writeRetried = false;
            // No new document comes of an append: ask for the grown one once
            // the last append is in.
            if (append && serial == self->m_writeSerial && !self->m_writePending) {
                self->m_holdCurrent = false;
                self->scheduleRetake();
            }
            return;
        }
        self->m_writtenSent = 0;
        self->m_appendable = false;
        if (append) {
            // The written document is gone: write all of it anew.
            self->m_writePending = true;
            self->flushWrite();
            return;
        }
        // Not an HTML document: write into a blank page instead, once.
        if (self->m_writeRetried || self->m_writePending)
            return;
        self->m_writeRetried = true;
        self->m_writePending = true;
        self->startInternalLoad();
    });
}

}  // namespace quorvane
