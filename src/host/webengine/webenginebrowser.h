#pragma once

#include "documenttree.h"
#include "host/browser.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

class QTimer;
class QUrl;
class QWebChannel;
class QWebEngineDownloadRequest;
class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

namespace quorvane {

class LocalPagePolicy;
class PageBridge;
class RendererWatch;

// A browser instance on QtWebEngine. Scripts in an isolated world report each
// frame's document at its load event; the instance keeps the last snapshot so
// document() never waits on the page. A hidden loader has a page but no view.
//
// A hidden loader is bounded as the text-only reader is: it gives up a page
// whose body passes MaxReaderPageBytes or whose renderer's resident memory
// passes MaxRendererBytes. The engine tells no body size while a body arrives
// (a request interceptor sees requests only; the page's timing entries are
// filled in once the body is whole, never for an endless one, and a gzip body
// is whole only once inflated), so the live bound is the renderer's memory,
// read from /proc where no page can touch it; the engine runs a page's frames,
// cross-site ones too, in that renderer. The top document's body size is
// checked from its timing entry when the load is over. A page given up goes
// with its page object and renderer process, and its load completes as a
// failed one: no document to read. A shown view loads what the user asked
// for, as big as it is.
class WebEngineBrowser final : public Browser {
    Q_OBJECT
public:
    // Room for any page under the body cap: an empty page costs a renderer
    // about 80 MiB, the cap's worth of dense paragraphs about 660 MiB. Hostile
    // pages took 3 GiB and more within the logic's time-out before the bound.
    static constexpr qint64 MaxRendererBytes = 768LL * 1024 * 1024;
    // A renderer fed a hostile page over loopback grows by up to 700 MB/s:
    // checked this often, it passes the limit by a few tens of MB at most.
    static constexpr int RendererCheckMs = 50;
    // The engine starts a save's download at once; one it has not started by
    // then it never will.
    static constexpr int SaveStartMs = 10000;

    // profile must outlive this instance.
    WebEngineBrowser(QString name, QWebEngineProfile *profile, bool withView, QObject *parent = nullptr);
    ~WebEngineBrowser() override;

    // Null without a view. The caller places the widget; this instance deletes
    // it on destruction unless a parent widget deleted it first.
    QWebEngineView *view() const;
    // A hidden loader replaces its page when it gives one up: ask again rather than keep it.
    QWebEnginePage *page() const { return m_page; }
    // Saves the document shown into file and tells done the outcome: an empty
    // text once it is written, else the reason it was not. A loaded page is
    // saved by the engine (a web archive for a .mht name, else one HTML file);
    // a written document (a report, a catalog, the gallery) as written, since
    // the engine would save the blank page it was written into.
    void savePage(const QString &file, std::function<void(const QString &error)> done);
    // The HTML written into the view while it shows a written document (a
    // report, a catalog, the gallery); nothing while it shows a loaded page.
    std::optional<QString> writtenDocument() const
    {
        return m_showsWritten ? std::optional<QString>(m_written) : std::nullopt;
    }

    QString name() const override { return m_name; }

    void navigate(const QString &url) override;
    void goBack() override;
    void goForward() override;
    void refresh() override;
    void stop() override;
    // Copy and SelectAll act directly; the others are announced by pageCommandRequested.
    void runPageCommand(PageCommand command) override;

    QString locationName() const override;
    QString locationUrl() const override;
    bool busy() const override { return m_busy; }

    DocumentPtr document() const override { return m_document; }
    void closeDocument() override { m_writeOpen = false; }
    void writeDocument(const QString &html) override;

    bool isVisible() const override { return m_visible; }
    void setVisible(bool visible) override;

    // Pointer input on the view, as the user gives it: moving over, clicking or
    // double-clicking the first element matching a CSS selector (scrolled into
    // view first), or leaving the view. The page sees trusted events with user
    // activation; the document hooks ignore events a page raises itself. done
    // tells whether such an element was there (false for a bad selector too).
    enum class PointerAction { Move, Click, DoubleClick, Leave };
    void pointAt(const QString &selector, PointerAction action, std::function<void(bool found)> done);
    // Holds a followed link's navigation for ms (0: not at all), so that a
    // double click on a link reaches the window instead of leaving the page.
    void setLinkClickHold(int ms);

    // Written text handed to the page so far, in UTF-16 units: a document
    // grown by rows costs its rows once, not once per row.
    qint64 writeCharsSent() const { return m_writeCharsSent; }

    // Writes handed to the page so far, each with what was written since the last.
    qint64 writesSent() const { return m_writesSent; }

    // Times the page was asked which document it shows; a view that saw its
    // new document report after the load committed needs no asking.
    int documentQueries() const { return m_documentQueries; }

    // Writes reach the page at most once per this many ms, each with what
    // was written since the last; a person sees no more than that.
    static constexpr int WriteFrameMs = 16;
    // A new document's first text waits this long from its opening: a person
    // sees that as at once, and the blank page it needs (a navigation, heavy
    // work for the engine) then seldom takes the processor from the burst of
    // work that writes it, such as a search finding its first pages.
    static constexpr int FirstWriteMs = 100;
    // The page lays out all of a written document's rows again for each
    // append, so appends to a long one come less often: the renderer's work
    // per second stays about the same however long the document grows, and
    // the rows still show at least once a second.
    static constexpr qsizetype ShownCharsPerWriteMs = 100;
    static constexpr int MaxWriteIntervalMs = 1000;
    static int writeIntervalMs(qsizetype shownChars)
    {
        return int(std::clamp<qsizetype>(shownChars / ShownCharsPerWriteMs, WriteFrameMs, MaxWriteIntervalMs));
    }
    // The snapshot of a document grown by appends is taken again once the
    // appends have paused this long.
    static constexpr int RetakeQuietMs = 100;

signals:
    // Print, PageSetup and SaveAs need dialogs, which belong to the window.
    void pageCommandRequested(quorvane::Browser::PageCommand command);

private:
    // One document instance of the top window, named by the script's window id and sequence.
    struct Instance {
        QString window;
        int sequence = 0;
        DocumentTree tree;
        int unannouncedFrames = 0;  // frame reports not yet raised as documentComplete(false)
    };

    void createPage();
    void installScripts();
    void giveUpPage(const QString &why);
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onUrlChanged(const QUrl &url);
    void startSave();
    void onDownloadRequested(QWebEngineDownloadRequest *download);
    void finishSave(const QString &error);
    void onSnapshot(const QString &window, int sequence, const QString &text);
    void onMouse(const QString &type, const QString &json);
    void noteTopReport(const QString &window);
    bool knowsShownDocument() const;
    const Instance *newestReport(const QString &window) const;
    void resolveCurrent(bool silent);
    void finishResolve(const QVariant &current, bool silent);
    void makeCurrent(const QString &window, int sequence, bool silent);
    void adoptNewest();
    void activate();
    void publish();
    Instance &instance(const QString &window, int sequence);
    void startInternalLoad();
    void scheduleWrite();
    void flushWrite();
    void forgetWritten();
    void scheduleRetake();

    QString m_name;
    QWebEngineProfile *m_profile = nullptr;
    const bool m_bounded;  // a hidden loader
    QWebEnginePage *m_page = nullptr;
    RendererWatch *m_watch = nullptr;  // only when bounded
    QPointer<QWebEngineView> m_view;
    QWebChannel *m_channel = nullptr;
    LocalPagePolicy *m_localPolicy = nullptr;
    int m_linkHoldMs = 0;
    PageBridge *m_bridge = nullptr;

    bool m_visible = false;
    bool m_closing = false;

    // Loading: m_qtLoading follows the engine, m_busy what callers see
    // (the blank page loaded for a first write is not a navigation).
    bool m_qtLoading = false;
    // navigate() has raised beforeNavigate for the load the engine is about to start.
    bool m_announced = false;
    bool m_busy = false;
    // The current load has raised navigationCommitted.
    bool m_committed = true;
    bool m_internalLoad = false;
    int m_generation = 0;  // bumps at each load start; stale callbacks compare it
    bool m_resolving = false;
    // What tells the document a finished load shows without asking the page:
    // the windows of the documents before the load, and the one other window
    // whose top reported after the load committed. Unsure when anything else
    // may have reported (a load cut short, a report before the commit).
    QSet<QString> m_earlierWindows;
    QString m_newWindow;
    bool m_newWindowSure = false;
    // The load is over for the engine but its documentComplete(true) is still to come.
    bool m_owesDocument = false;
    QString m_loadUrl;     // of the current navigation, as asked for
    QString m_givenUpUrl;  // of the page given up, while no other has started

    // The shown document instance and its snapshot.
    std::map<QString, Instance> m_instances;
    QStringList m_instanceOrder;
    QString m_currentKey;
    QString m_currentWindow;
    int m_currentSequence = 0;
    bool m_silent = false;       // no document events for it (written or re-opened)
    bool m_topShown = false;
    bool m_holdCurrent = false;  // a write is on its way: publish nothing older than it
    DocumentPtr m_document;

    // Document.Write: the text of the current written document.
    bool m_writeOpen = false;
    bool m_showsWritten = false;
    bool m_ownBlank = false;  // the document shown is the blank page loaded for writing
    bool m_writePending = false;
    bool m_writeScheduled = false;
    bool m_writeRetried = false;
    QString m_written;
    // How much of m_written the page holds, and whether the page's document is
    // the one written there, so that what follows can be appended to it.
    qsizetype m_writtenSent = 0;
    bool m_appendable = false;
    quint64 m_writeSerial = 0;  // of the last write sent
    bool m_writeInFlight = false;  // the page has not answered the last write yet
    qint64 m_writeCharsSent = 0;
    qint64 m_writesSent = 0;
    int m_documentQueries = 0;
    QElapsedTimer m_sinceFlush;
    QElapsedTimer m_sinceOpen;  // of the written document
    QTimer *m_retakeTimer = nullptr;

    // Saves of loaded pages, the first one with the engine.
    struct Save {
        QString file;  // absolute
        std::function<void(const QString &error)> done;
    };
    QList<Save> m_saves;
    bool m_saveRunning = false;  // the first one is with the engine
    bool m_saveStarted = false;  // and the engine began its download
    int m_saveSequence = 0;
    QMetaObject::Connection m_saveWatch;  // on the profile while saves wait
};

}  // namespace quorvane
