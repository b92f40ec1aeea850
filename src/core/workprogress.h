#pragma once

#include <QString>

#include <functional>

namespace quorvane {

// How far the long work of the window has come: a keyword, e-mail or contact
// search, a report run or the automatic image walk. One work at a time is
// shown; the one started last owns the bar. The status bar draws it and the
// dump reads it; the panel texts of the work stay as they always were.
class WorkProgress final {
public:
    enum class Work { None, Keywords, Email, Contact, Report, ImageWalk };
    // Waiting: the report run rests until Read next.
    enum class Phase { Idle, Running, Waiting, Stopped, Finished };

    // Milliseconds of a steady clock; tests pass a manual one.
    using Clock = std::function<qint64()>;

    explicit WorkProgress(std::function<void()> changed);

    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Starts work afresh: nothing done, nothing found, the time from now.
    void start(Work work, int total);
    // The counts of work under way; ignored when another work owns the bar.
    void update(Work work, int done, int total, int found);
    // Running, Waiting, Stopped or Finished; ignored for another work.
    void setPhase(Work work, Phase phase);

    Work work() const { return m_work; }
    Phase phase() const { return m_phase; }
    // This work, running or waiting.
    bool active(Work work) const { return m_work == work && (m_phase == Phase::Running || m_phase == Phase::Waiting); }
    int done() const { return m_done; }
    int total() const { return m_total; }
    int found() const { return m_found; }
    // Time spent running; the clock stands while the work waits or after it ends.
    qint64 elapsedMs() const;

    static QString workName(Work work);
    static QString phaseName(Phase phase);
    // What the bar says: "12/40 pages, 3 found", "... 57 rows", "... 9 pictures".
    QString text() const;
    // "0:07", "12:05", "1:02:03".
    static QString elapsedText(qint64 ms);

private:
    void changed();

    std::function<void()> m_changed;
    Clock m_clock;
    Work m_work = Work::None;
    Phase m_phase = Phase::Idle;
    int m_done = 0;
    int m_total = 0;
    int m_found = 0;
    qint64 m_elapsedBefore = 0;  // running time before the latest start or resume
    qint64 m_runningSince = 0;
};

}  // namespace quorvane
