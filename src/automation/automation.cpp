#include "automation.h"

#include "partnersscript.h"
#include "statedump.h"
#include "core/windowstate.h"
#include "exports/csvexports.h"
#include "host/desktop/desktophost.h"
#include "host/scriptedservices.h"
#include "host/webengine/webenginebrowser.h"
#include "ui/mainwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPixmap>
#include <QPointer>

#include <cstdio>

namespace quorvane {

namespace {
constexpr int PollIntervalMs = 25;
// A load or idle condition must hold this long before a wait ends, so that a
// handler queued by the last completion can start the next load first.
constexpr qint64 QuietMs = 50;
// A page is painted a moment after its load completes.
constexpr qint64 PaintDelayMs = 800;
// A picture waits for the shown browsers at most this long, then is taken anyway.
constexpr qint64 PictureLimitMs = 5000;
// The final picture first gives the start-up loads this long to begin.
constexpr qint64 StartupQuietMs = 300;

// A mouse event raised in a page is handled by the window within this time.
constexpr int PageEventSettleMs = 1000;

}  // namespace

Automation::Automation(MainWindow &window, WindowState &state, DesktopHost &host, const SiteGenerator &generator,
                       QObject *parent)
    : QObject(parent), m_window(window), m_state(state), m_host(host), m_generator(generator)
{
    m_clock.start();
    for (BrowserId id : AllBrowsers) {
        Browser *browser = m_host.browser(id);
        if (!browser)
            continue;
        m_navigations.insert(browser, 0);
        m_completions.insert(browser, 0);
        const bool shown = id == BrowserId::MainView || id == BrowserId::SecondView;
        connect(browser, &Browser::beforeNavigate, this, [this, browser, shown] {
            ++m_navigations[browser];
            if (shown)
                m_lastViewActivityMs = m_clock.elapsed();
        });
        connect(browser, &Browser::documentComplete, this, [this, browser, shown](bool topLevel) {
            if (topLevel)
                m_completions[browser] = m_navigations.value(browser);
            if (shown)
                m_lastViewActivityMs = m_clock.elapsed();
            if (topLevel && m_wait == Wait::Document && m_waitBrowser == browser && waitSatisfied())
                finishWaitSoon(Wait::Document);
        });
    }
    if (ScriptedServices *services = m_host.scriptedServices()) {
        services->setMessageObserver([this](const ScriptedServices::Record &) {
            if (m_wait == Wait::Message)
                finishWaitSoon(Wait::Message);
        });
    }
    m_poll.setInterval(PollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &Automation::poll);
}

Automation::~Automation()
{
    if (ScriptedServices *services = m_host.scriptedServices())
        services->setMessageObserver({});
}

bool Automation::loadScript(const QString &path, QString *error)
{
    // A FIFO would block the window before it ever shows, and /dev/zero
    // never ends: only a regular file of a script's size is read.
    QFile file(path);
    const QFileInfo info(path);
    bool ok = false;
    if (!info.isFile())
        *error = QStringLiteral("cannot read script %1: not a regular file").arg(path);
    else if (info.size() > MaxScriptBytes)
        *error = QStringLiteral("cannot read script %1: larger than %2 bytes").arg(path).arg(MaxScriptBytes);
    else if (!file.open(QIODevice::ReadOnly))
        *error = QStringLiteral("cannot read script %1: %2").arg(path, file.errorString());
    else
        ok = parseScript(QString::fromUtf8(file.read(MaxScriptBytes)), &m_commands, error);
    if (!ok) {
        // Nothing of a broken script runs; the window still starts and closes normally.
        m_commands.clear();
        m_failed = true;
        m_scriptDone = true;
    }
    return ok;
}

void Automation::queueLeadingAnswers()
{
    ScriptedServices *services = m_host.scriptedServices();
    while (services && m_next < int(m_commands.size()) && m_commands.at(m_next).kind == ScriptCommand::Kind::Answer)
        services->queueAnswer(m_commands.at(m_next++).text);
}

void Automation::start()
{
    QTimer::singleShot(0, this, &Automation::next);
}

void Automation::next()
{
    if (m_finished)
        return;
    m_window.syncNow();
    if (m_scriptDone || m_next >= int(m_commands.size())) {
        m_scriptDone = true;
        if (!m_finalScreenshot.isEmpty()) {
            const QString path = m_finalScreenshot;
            m_finalScreenshot.clear();
            beginPictureWait(path, StartupQuietMs);
            return;
        }
        finish();
        return;
    }
    const ScriptCommand &command = m_commands.at(m_next++);
    m_line = command.line;
    switch (execute(command)) {
    case Result::Done:
        QTimer::singleShot(0, this, &Automation::next);
        break;
    case Result::Waiting:
        m_metSinceMs = -1;
        m_waitClock.start();
        m_poll.start();
        break;
    case Result::Failed:
        break;
    }
}

void Automation::beginPictureWait(const QString &path, qint64 minimumMs)
{
    m_wait = Wait::Picture;
    m_picturePath = path;
    m_waitLimitMs = PictureLimitMs;
    m_waitMinimumMs = minimumMs;
    m_metSinceMs = -1;
    m_waitClock.start();
    m_poll.start();
}

Automation::Result Automation::execute(const ScriptCommand &c)
{
    using Kind = ScriptCommand::Kind;
    auto failed = [this, &c](const QString &message) {
        fail(c.line, message);
        return Result::Failed;
    };
    auto unknownControl = [&failed, &c] { return failed(QStringLiteral("unknown control \"%1\"").arg(c.target)); };

    switch (c.kind) {
    case Kind::Open:
        m_window.typeText(QStringLiteral("Combo2"), c.text);
        m_window.pressKey(QStringLiteral("Combo2"), Key::Enter);
        return Result::Done;
    case Kind::Navigate: {
        Browser *browser = browserNamed(c.target);
        if (!browser)
            return failed(QStringLiteral("unknown view \"%1\"").arg(c.target));
        // Counted here as well: the engine announces the navigation later.
        ++m_navigations[browser];
        browser->navigate(c.text);
        m_window.syncNow();
        return Result::Done;
    }
    case Kind::WaitLoad:
        m_waitBrowser = browserNamed(c.target);
        if (!m_waitBrowser)
            return failed(QStringLiteral("unknown view \"%1\"").arg(c.target));
        m_wait = Wait::Load;
        m_waitLimitMs = c.number;
        return Result::Waiting;
    case Kind::WaitIdle:
        m_wait = Wait::Idle;
        m_waitLimitMs = c.number;
        return Result::Waiting;
    case Kind::WaitDocument:
        m_waitBrowser = browserNamed(c.target);
        if (!m_waitBrowser)
            return failed(QStringLiteral("unknown view \"%1\"").arg(c.target));
        m_wait = Wait::Document;
        m_waitLimitMs = c.number;
        return Result::Waiting;
    case Kind::WaitMessage: {
        ScriptedServices *services = m_host.scriptedServices();
        if (!services)
            return failed(QStringLiteral("dialogs are not scripted in this run"));
        m_recordsAtWait = services->records().size();
        m_wait = Wait::Message;
        m_waitLimitMs = c.number;
        return Result::Waiting;
    }
    case Kind::Mark:
        // Milliseconds since the script began, for timing a stretch of it.
        std::fprintf(stdout, "mark %s %.3f\n", qPrintable(c.text), double(m_clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
        return Result::Done;
    case Kind::Wait:
        m_wait = Wait::Time;
        m_waitLimitMs = c.number;
        return Result::Waiting;
    case Kind::Menu:
        if (!m_window.triggerMenu(c.target, c.number)) {
            const QString entry = c.number >= 0 ? QStringLiteral("%1(%2)").arg(c.target).arg(c.number) : c.target;
            return failed(QStringLiteral("unknown menu entry \"%1\"").arg(entry));
        }
        return Result::Done;
    case Kind::Press:
        return m_window.pressButton(c.target, c.button) ? Result::Done : unknownControl();
    case Kind::PressDouble:
        return m_window.pressButton(c.target, c.button, true) ? Result::Done : unknownControl();
    case Kind::Hover:
        return m_window.hoverButton(c.target) ? Result::Done : unknownControl();
    case Kind::HoverBackground:
        m_window.hoverBackground();
        return Result::Done;
    case Kind::Click:
        return m_window.clickControl(c.target, c.number) ? Result::Done : unknownControl();
    case Kind::DoubleClick:
        return m_window.doubleClickControl(c.target, c.number) ? Result::Done : unknownControl();
    case Kind::RightClick:
        return m_window.rightClickControl(c.target, c.number) ? Result::Done : unknownControl();
    case Kind::Type:
        return m_window.typeText(c.target, c.text) ? Result::Done : unknownControl();
    case Kind::KeyPress:
        return m_window.pressKey(c.target, c.key) ? Result::Done : unknownControl();
    case Kind::PanelClick:
        m_window.clickPanel(c.number);
        return Result::Done;
    case Kind::PanelDoubleClick:
        m_window.doubleClickPanel(c.number);
        return Result::Done;
    case Kind::Resize:
        m_window.resize(c.number, c.number2);
        return Result::Done;
    case Kind::ResizeClient:
        m_window.resizeClient(c.number, c.number2);
        return Result::Done;
    case Kind::Export: {
        // The File > Export entry with its save dialog answered.
        const std::optional<ExportKind> kind = exportKindNamed(c.target);
        ScriptedServices *services = m_host.scriptedServices();
        if (!kind)
            return failed(QStringLiteral("unknown export \"%1\"").arg(c.target));
        if (!services)
            return failed(QStringLiteral("dialogs are not scripted in this run"));
        for (const ExportInfo &info : exportKinds()) {
            if (info.kind == *kind) {
                services->queueAnswer(QStringLiteral("file:") + c.text);
                m_window.triggerMenu(QString::fromLatin1(info.menu), -1);
            }
        }
        return Result::Done;
    }
    case Kind::ScreenshotWindow: {
        QWidget *window = m_window.namedWindow(c.target);
        if (!window || (!window->isVisible() && !qobject_cast<QMenu *>(window)))
            return failed(QStringLiteral("%1 is not open").arg(c.target));
        m_window.syncNow();
        return window->grab().save(c.text, "PNG") ? Result::Done
                                                   : failed(QStringLiteral("cannot write screenshot %1").arg(c.text));
    }
    case Kind::Keys:
        if (!m_window.pressKeys(c.text))
            return failed(QStringLiteral("not a key chord: \"%1\"").arg(c.text));
        return Result::Done;
    case Kind::Answer:
        if (ScriptedServices *services = m_host.scriptedServices()) {
            services->queueAnswer(c.text);
            return Result::Done;
        }
        return failed(QStringLiteral("dialogs are not scripted in this run"));
    case Kind::Dump: {
        QString error;
        return writeDump(c.text, &error) ? Result::Done : failed(error);
    }
    case Kind::Screenshot:
        m_wait = Wait::Picture;
        m_picturePath = c.text;
        m_waitLimitMs = PictureLimitMs;
        m_waitMinimumMs = 0;
        return Result::Waiting;
    case Kind::PageHover:
    case Kind::PageOut:
    case Kind::PageDoubleClick:
    case Kind::PageClick: {
        const std::optional<BrowserId> id = quorvane::browserNamed(c.target);
        WebEngineBrowser *view = id ? m_host.webBrowser(*id) : nullptr;
        if (!view)
            return failed(QStringLiteral("unknown view \"%1\"").arg(c.target));
        using Action = WebEngineBrowser::PointerAction;
        const Action action = c.kind == Kind::PageHover ? Action::Move
                            : c.kind == Kind::PageOut   ? Action::Leave
                            : c.kind == Kind::PageClick ? Action::Click
                                                        : Action::DoubleClick;
        const QString selector = c.text.isEmpty() ? QStringLiteral("body") : c.text;
        QPointer<Automation> self(this);
        const int line = c.line;
        const auto reportMissing = [self, line, selector](bool found) {
            if (!self || found)
                return;
            std::fprintf(stderr, "script:%d: no element matches \"%s\"\n", line, qPrintable(selector));
            self->m_failed = true;
        };
        view->pointAt(selector, action, reportMissing);
        // The page's event reaches the window through the engine's channel a moment later.
        m_wait = Wait::Time;
        m_waitLimitMs = PageEventSettleMs;
        return Result::Waiting;
    }
    case Kind::Partners: {
        QString error;
        int waitMs = -1;
        if (!runPartnersAction(m_window, c.target, c.text, &error, &waitMs))
            return failed(QStringLiteral("partners %1: %2").arg(c.target, error));
        if (waitMs < 0)
            return Result::Done;
        m_wait = Wait::Partners;
        m_waitLimitMs = waitMs;
        return Result::Waiting;
    }
    case Kind::Quit:
        m_scriptDone = true;
        return Result::Done;
    }
    return failed(QStringLiteral("unsupported command"));
}

bool Automation::isIdle() const
{
    for (Browser *browser : m_host.browsers()) {
        if (browser->busy())
            return false;
    }
    for (TransferSlot slot : AllTransferSlots) {
        if (Transfer *t = m_host.transfer(slot); t && t->stillExecuting())
            return false;
    }
    for (TimerId id : AllTimers) {
        // A timer without an interval never fires, so it keeps nothing going.
        if (Timer *t = m_host.timer(id); t && t->enabled() && t->interval() > 0)
            return false;
    }
    return true;
}

Browser *Automation::browserNamed(const QString &name) const
{
    const std::optional<BrowserId> id = quorvane::browserNamed(name);
    return id ? m_host.browser(*id) : nullptr;
}

bool Automation::viewsSettled() const
{
    for (BrowserId id : ShownBrowsers) {
        if (Browser *b = m_host.browser(id); b && b->busy())
            return false;
    }
    return m_clock.elapsed() - m_lastViewActivityMs >= PaintDelayMs;
}

bool Automation::waitSatisfied()
{
    const qint64 now = m_waitClock.elapsed();
    bool met = false;
    qint64 hold = QuietMs;
    switch (m_wait) {
    case Wait::Load:
        met = !m_waitBrowser->busy() && m_completions.value(m_waitBrowser) == m_navigations.value(m_waitBrowser);
        break;
    case Wait::Document:
        // The document is in: no quiet spell, so a script can time the load.
        return !m_waitBrowser->busy() && m_completions.value(m_waitBrowser) == m_navigations.value(m_waitBrowser);
    case Wait::Message:
        if (ScriptedServices *services = m_host.scriptedServices())
            return services->records().size() > m_recordsAtWait;
        return true;
    case Wait::Idle:
        met = isIdle();
        break;
    case Wait::Partners:
        met = !partnersRunning(m_window);
        break;
    case Wait::Time:
        return now >= m_waitLimitMs;
    case Wait::Picture:
        met = now >= m_waitMinimumMs && viewsSettled();
        hold = 0;
        break;
    case Wait::None:
        return true;
    }
    if (!met) {
        m_metSinceMs = -1;
        return false;
    }
    if (m_metSinceMs < 0)
        m_metSinceMs = now;
    return now - m_metSinceMs >= hold;
}

void Automation::poll()
{
    if (waitSatisfied()) {
        finishWait();
        return;
    }
    if (m_waitClock.elapsed() < m_waitLimitMs)
        return;
    // A plain wait is over once its time is up, even when the clock passed
    // the limit between the look above and this one.
    if (m_wait == Wait::Picture || m_wait == Wait::Time) {
        finishWait();  // the picture shows whatever is there by now
        return;
    }
    const QString what = m_wait == Wait::Load || m_wait == Wait::Document
                             ? QStringLiteral("timed out waiting for %1 to load").arg(m_waitBrowser->name())
                         : m_wait == Wait::Message ? QStringLiteral("timed out waiting for a message box")
                         : m_wait == Wait::Partners ? QStringLiteral("timed out waiting for the partner check")
                                                   : QStringLiteral("timed out waiting for idle");
    m_poll.stop();
    m_wait = Wait::None;
    m_waitBrowser = nullptr;
    fail(m_line, QStringLiteral("%1 after %2 ms").arg(what).arg(m_waitLimitMs));
}

void Automation::finishWait()
{
    m_poll.stop();
    const Wait finished = m_wait;
    m_wait = Wait::None;
    m_waitBrowser = nullptr;
    if (finished == Wait::Picture) {
        m_window.syncNow();
        if (!writeScreenshot(m_picturePath)) {
            // A picture the script asked for fails its line; the final one only the run.
            if (!m_scriptDone) {
                fail(m_line, QStringLiteral("cannot write screenshot %1").arg(m_picturePath));
                return;
            }
            std::fprintf(stderr, "quorvane: cannot write screenshot %s\n", qPrintable(m_picturePath));
            m_failed = true;
        }
    }
    QTimer::singleShot(0, this, &Automation::next);
}

void Automation::finishWaitSoon(Wait wait)
{
    QTimer::singleShot(0, this, [this, wait] {
        if (m_wait == wait)
            finishWait();
    });
}

void Automation::fail(int line, const QString &message)
{
    std::fprintf(stderr, "script:%d: %s\n", line, qPrintable(message));
    std::fflush(stderr);
    m_failed = true;
    m_scriptDone = true;
    // The final screenshot, if asked for, still shows how things stood.
    QTimer::singleShot(0, this, &Automation::next);
}

void Automation::finish()
{
    m_finished = true;
    m_poll.stop();
    m_window.close();  // Form_Unload, then the application quits
}

bool Automation::writeScreenshot(const QString &path)
{
    return m_window.grab().save(path, "PNG");
}

bool Automation::writeDump(const QString &path, QString *error)
{
    QJsonObject state = dumpState(m_state, m_host, m_host.scriptedServices(), &m_generator);
    // What the state says may be shown, and what the window draws of it.
    QJsonObject entries = state.value(QStringLiteral("menuEntries")).toObject();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        QJsonObject entry = it.value().toObject();
        entry.insert(QStringLiteral("drawn"), m_window.menuEntryDrawn(it.key()));
        it.value() = entry;
    }
    state.insert(QStringLiteral("menuEntries"), entries);
    if (const QJsonObject table = m_window.itemTableDump(); !table.isEmpty() && state.contains(QStringLiteral("Form2"))) {
        QJsonObject form2 = state.value(QStringLiteral("Form2")).toObject();
        QJsonObject list = form2.value(QStringLiteral("List1")).toObject();
        list.insert(QStringLiteral("table"), table);
        form2.insert(QStringLiteral("List1"), list);
        state.insert(QStringLiteral("Form2"), form2);
    }
    addPartnersDump(state, m_window);
    // Beside what the state says the bar holds, what the window draws of it.
    state.insert(QStringLiteral("statusBarShown"), m_window.statusBarDump());
    state.insert(QStringLiteral("focus"), m_window.focusedControl());
    state.insert(QStringLiteral("pictureSources"), m_window.pictureSources());
    if (const QJsonObject preferences = m_window.preferencesDump(); !preferences.isEmpty())
        state.insert(QStringLiteral("Preferences"), preferences);
    const QByteArray json = QJsonDocument(state).toJson(QJsonDocument::Indented);
    if (path.isEmpty()) {
        std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        std::fflush(stdout);
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size()) {
        *error = QStringLiteral("cannot write dump %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace quorvane
