#pragma once

#include "scriptparser.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

namespace quorvane {

class DesktopHost;
class Browser;
class MainWindow;
class SiteGenerator;
class WindowState;

// Runs an automation script against the real window, one command per turn of
// the event loop. Waits poll their condition; nothing blocks. The run ends
// with the window's normal close; a failed command is reported on stderr as
// "script:LINE: message" and makes exitCode() non-zero.
class Automation final : public QObject {
    Q_OBJECT
public:
    Automation(MainWindow &window, WindowState &state, DesktopHost &host, const SiteGenerator &generator,
               QObject *parent = nullptr);
    ~Automation() override;

    static constexpr qint64 MaxScriptBytes = 1024 * 1024;

    // Reads and checks the whole script; false with a message when it cannot run.
    bool loadScript(const QString &path, QString *error);
    // A screenshot taken once the script has run and the shown browsers settled.
    void setFinalScreenshot(const QString &path) { m_finalScreenshot = path; }
    // Queues the answers the script begins with, so that they answer the
    // questions of the start-up, before the script runs.
    void queueLeadingAnswers();
    void start();
    int exitCode() const { return m_failed ? 1 : 0; }

private:
    enum class Wait { None, Load, Idle, Time, Picture, Document, Message, Partners };
    enum class Result { Done, Waiting, Failed };

    void next();
    Result execute(const ScriptCommand &command);
    void poll();
    bool waitSatisfied();
    void finishWait();
    // Ends a wait for an event on the turn after the event, not at the next poll.
    void finishWaitSoon(Wait wait);
    void fail(int line, const QString &message);
    void finish();
    void beginPictureWait(const QString &path, qint64 minimumMs);
    // The browser with that control name, or null.
    Browser *browserNamed(const QString &name) const;
    bool viewsSettled() const;
    bool writeScreenshot(const QString &path);
    bool writeDump(const QString &path, QString *error);
    bool isIdle() const;

    MainWindow &m_window;
    WindowState &m_state;
    DesktopHost &m_host;
    const SiteGenerator &m_generator;

    QVector<ScriptCommand> m_commands;
    int m_next = 0;
    int m_line = 0;
    bool m_failed = false;
    bool m_finished = false;
    bool m_scriptDone = false;
    QString m_finalScreenshot;

    // A browser's load is complete when its last top-level document completed
    // after its last navigation began.
    QHash<Browser *, quint64> m_navigations;
    QHash<Browser *, quint64> m_completions;

    // When a shown browser last started or finished something, on m_clock.
    qint64 m_lastViewActivityMs = 0;
    QElapsedTimer m_clock;

    Wait m_wait = Wait::None;
    Browser *m_waitBrowser = nullptr;
    qint64 m_waitLimitMs = 0;
    qint64 m_waitMinimumMs = 0;
    qint64 m_metSinceMs = -1;  // since when the condition has held
    QString m_picturePath;
    qsizetype m_recordsAtWait = 0;  // dialog records when a message wait began
    QElapsedTimer m_waitClock;
    QTimer m_poll;
};

}  // namespace quorvane
