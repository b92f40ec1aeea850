#include "qttimer.h"

namespace quorvane {

QtTimer::QtTimer(QString name, QObject *parent) : Timer(parent), m_name(std::move(name))
{
    m_timer.setSingleShot(false);
    connect(&m_timer, &QTimer::timeout, this, &Timer::timeout);
}

void QtTimer::setInterval(int ms)
{
    m_interval = qMax(0, ms);
    // Setting the interval starts a new countdown, as with a window timer.
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

void QtTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;  // enabling an enabled timer must not restart its countdown
    m_enabled = enabled;
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

}  // namespace quorvane
