#include "updatepacer.h"

#include <algorithm>
#include <utility>

namespace quorvane {

UpdatePacer::UpdatePacer(Clock clock, Arm arm, Update update)
    : m_clock(std::move(clock)), m_arm(std::move(arm)), m_update(std::move(update))
{
}

void UpdatePacer::mark(unsigned changes)
{
    m_marks |= changes;
    m_due = true;
    if (m_armed)
        return;
    m_armed = true;
    const qint64 since = m_updated ? m_clock() - m_lastUpdateMs : qint64(FrameMs);
    m_arm(int(std::clamp<qint64>(FrameMs - since, 0, FrameMs)));
}

unsigned UpdatePacer::take()
{
    m_due = false;
    m_updated = true;
    m_lastUpdateMs = m_clock();
    ++m_updates;
    return std::exchange(m_marks, 0u);
}

void UpdatePacer::fire()
{
    m_armed = false;
    if (!m_due)
        return;
    m_update(take());
}

}  // namespace quorvane
