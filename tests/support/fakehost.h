#pragma once

#include "host/host.h"
#include "host/scriptedservices.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace quorvane {

// Pages and files the fakes serve, by absolute URL.
class FakeWeb final {
public:
    void setPage(const QString &url, const QString &html) { m_pages.insert(url, html); }
    // The parsed document of url with its frames, or null when unknown.
    DocumentPtr document(const QString &url, int depth = 0) const;

private:
    QHash<QString, QString> m_pages;
};

// A browser instance whose loads finish when the test says so.
class FakeBrowser final : public Browser {
    Q_OBJECT
public:
    FakeBrowser(QString name, const FakeWeb &web, QObject *parent = nullptr);

    QString name() const override { return m_name; }
    void navigate(const QString &url) override;
    void goBack() override;
    void goForward() override;
    void refresh() override;
    void stop() override;
    void runPageCommand(PageCommand command) override { m_pageCommands.append(command); }
    QString locationName() const override { return current() ? current()->title : QString(); }
    QString locationUrl() const override { return m_url; }
    bool busy() const override { return m_busy; }
    DocumentPtr document() const override { return m_busy ? nullptr : current(); }
    void closeDocument() override { m_writeOpen = false; }
    void writeDocument(const QString &html) override;
    bool isVisible() const override { return m_visible; }
    void setVisible(bool visible) override { m_visible = visible; }

    // Finishes the pending navigation with the page the FakeWeb has for its
    // URL (an empty page when unknown), raising the events a real engine
    // raises: navigation committed (unless commitLoad raised it), navigate
    // complete, download complete, then document complete for each frame and
    // last for the page. Returns false when none is pending.
    bool finishLoad();
    // Commits the pending navigation: its address becomes the location and
    // navigationCommitted is raised while it still loads. finishLoad then
    // raises no second one. Returns false when none is pending or it committed.
    bool commitLoad();
    // Shows html at url as if it had been loaded (navigate plus finishLoad).
    void load(const QString &url, const QString &html);

    const QStringList &navigations() const { return m_navigations; }
    const QList<PageCommand> &pageCommands() const { return m_pageCommands; }
    // Everything written since the last close, as one text.
    const QString &written() const { return m_written; }
    // Written text parsed into documents so far: written rows are parsed when
    // the document is read, as on the text engine.
    qint64 writtenCharsParsed() const { return m_writtenCharsParsed; }
    int stopCount() const { return m_stops; }

private:
    void show(const QString &url, DocumentPtr document);
    const DocumentPtr &current() const;

    QString m_name;
    const FakeWeb &m_web;
    QString m_url;
    QString m_pendingUrl;
    mutable DocumentPtr m_document;
    mutable bool m_writtenUnparsed = false;
    mutable qint64 m_writtenCharsParsed = 0;
    bool m_busy = false;
    bool m_committed = false;
    bool m_visible = false;
    bool m_writeOpen = false;
    QString m_written;
    QStringList m_history;
    int m_historyIndex = -1;
    QStringList m_navigations;
    QList<PageCommand> m_pageCommands;
    int m_stops = 0;
};

// A scripted response: Complete for statuses 1 to 399 and 416, like the real
// transfer, Error otherwise (then no body is readable).
struct FakeResponse {
    int status = 200;
    QString body;
    QList<HttpHeaders::Field> headers;
    QList<RedirectHop> redirects;
    QString finalUrl;  // empty: the address asked (status 0: none)
};

// A transfer whose responses the test scripts.
class FakeTransfer final : public Transfer {
    Q_OBJECT
public:
    explicit FakeTransfer(QString name, QObject *parent = nullptr);

    QString name() const override { return m_name; }
    void execute(const QString &url, int maxBytes) override;
    bool stillExecuting() const override { return m_executing; }
    QString url() const override { return m_url; }
    void cancel() override;
    QString readData(int maxChars) const override { return m_body.left(maxChars); }

    // Completes the running operation with body (cut at the caller's maximum) and raises 12.
    void complete(const QString &body);
    // Fails the running operation and raises 11, with no response (status 0).
    void fail();
    // Ends the running operation with a response of any status.
    void respond(const FakeResponse &response);

    const QStringList &executed() const { return m_executed; }
    // The user agent each execute() would have sent, beside executed().
    const QStringList &userAgentsSent() const { return m_userAgents; }
    int lastMaxBytes() const { return m_maxBytes; }
    int cancelCount() const { return m_cancels; }

private:
    QString m_name;
    QString m_url;
    QString m_body;
    bool m_executing = false;
    int m_maxBytes = 0;
    QStringList m_executed;
    QStringList m_userAgents;
    int m_cancels = 0;
};

class ManualClock;

class FakeTimer final : public Timer {
    Q_OBJECT
public:
    FakeTimer(QString name, ManualClock &clock, QObject *parent = nullptr);

    QString name() const override { return m_name; }
    int interval() const override { return m_interval; }
    void setInterval(int ms) override;
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override;

    qint64 deadline() const { return m_deadline; }
    void fire();

private:
    QString m_name;
    ManualClock &m_clock;
    int m_interval = 0;
    bool m_enabled = false;
    qint64 m_deadline = 0;
};

// Time that moves only when the test advances it.
class ManualClock final {
public:
    qint64 now() const { return m_now; }
    // Moves time forward, firing every timer whose deadline is reached, in deadline order.
    void advance(qint64 ms);
    void add(FakeTimer *timer) { m_timers.append(timer); }

private:
    qint64 m_now = 0;
    QList<FakeTimer *> m_timers;
};

// The whole host on fakes: WebBrowser1, 2, 4, 5, Inet1 to Inet10, Timer3 to Timer12.
class FakeHost final : public Host {
public:
    FakeHost();
    ~FakeHost() override;

    Browser *browser(BrowserId id) override { return m_browsers.at(id).get(); }
    Transfer *transfer(TransferSlot slot) override { return m_transfers.at(slot).get(); }
    Timer *timer(TimerId id) override { return m_timers.at(id).get(); }
    WindowServices &services() override { return m_services; }

    FakeBrowser &fakeBrowser(BrowserId id) { return *m_browsers.at(id); }
    FakeTransfer &fakeTransfer(TransferSlot slot) { return *m_transfers.at(slot); }
    FakeTimer &fakeTimer(TimerId id) { return *m_timers.at(id); }
    // By control name or number, as tests read best beside the dump.
    FakeBrowser &fakeBrowser(const QString &name) { return fakeBrowser(*browserNamed(name)); }
    FakeTransfer &fakeTransfer(int number) { return fakeTransfer(static_cast<TransferSlot>(number)); }
    FakeTimer &fakeTimer(int number) { return fakeTimer(static_cast<TimerId>(number)); }
    ScriptedServices &scripted() { return m_services; }
    FakeWeb &web() { return m_web; }
    ManualClock &clock() { return m_clock; }

private:
    FakeWeb m_web;
    ManualClock m_clock;
    ScriptedServices m_services;
    std::map<BrowserId, std::unique_ptr<FakeBrowser>> m_browsers;
    std::map<TransferSlot, std::unique_ptr<FakeTransfer>> m_transfers;
    std::map<TimerId, std::unique_ptr<FakeTimer>> m_timers;
};

}  // namespace quorvane
