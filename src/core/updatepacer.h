#pragma once

#include <QtGlobal>

#include <functional>

namespace quorvane {

// Gathers what changed into at most one update per frame. The first change
// after a quiet spell is drawn on the next turn of the event loop; changes
// within the frame after an update wait for that frame to end. An update made
// at once (a user's action, a dump) takes what is marked, so the armed one
// then finds nothing to do.
class UpdatePacer final {
public:
    // Time in ms from a monotonic clock.
    using Clock = std::function<qint64()>;
    // Calls fire() after delayMs (0: the next turn).
    using Arm = std::function<void(int delayMs)>;
    using Update = std::function<void(unsigned changes)>;

    static constexpr int FrameMs = 16;

    UpdatePacer(Clock clock, Arm arm, Update update);

    // changes may be 0 when the marks are kept elsewhere: an update is still due.
    void mark(unsigned changes);
    // For an update made now: the marks, cleared, and the frame starts again.
    unsigned take();
    // The armed time has come.
    void fire();

    bool armed() const { return m_armed; }
    quint64 updates() const { return m_updates; }

private:
    Clock m_clock;
    Arm m_arm;
    Update m_update;
    unsigned m_marks = 0;
    bool m_due = false;
    bool m_armed = false;
    bool m_updated = false;  // m_lastUpdateMs holds a time
    qint64 m_lastUpdateMs = 0;
    quint64 m_updates = 0;
};

}  // namespace quorvane
