#include "workprogress.h"

#include <QElapsedTimer>

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {
qint64 steadyNow()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}
}  // namespace

WorkProgress::WorkProgress(std::function<void()> changed) : m_changed(std::move(changed)), m_clock(steadyNow) {}

void WorkProgress::changed()
{
    if (m_changed)
        m_changed();
}

void WorkProgress::start(Work work, int total)
{
    m_work = work;
    m_phase = work == Work::None ? Phase::Idle : Phase::Running;
    m_done = 0;
    m_total = std::max(0, total);
    m_found = 0;
    m_elapsedBefore = 0;
    m_runningSince = m_clock();
    changed();
}

void WorkProgress::update(Work work, int done, int total, int found)
{
    if (work != m_work || m_phase == Phase::Idle)
        return;
    // A bar never shows more done than there is, nor counts going backwards in total.
    done = std::max(0, done);
    total = std::max(done, total);
    if (done == m_done && total == m_total && found == m_found)
        return;
    m_done = done;
    m_total = total;
    m_found = std::max(0, found);
    changed();
}

void WorkProgress::setPhase(Work work, Phase phase)
{
    if (work != m_work || work == Work::None || phase == Phase::Idle || phase == m_phase)
        return;
    const qint64 now = m_clock();
    if (m_phase == Phase::Running)
        m_elapsedBefore += now - m_runningSince;
    if (phase == Phase::Running)
        m_runningSince = now;
    m_phase = phase;
    if (phase == Phase::Finished)
        m_total = m_done;
    changed();
}

qint64 WorkProgress::elapsedMs() const
{
    return m_elapsedBefore + (m_phase == Phase::Running ? m_clock() - m_runningSince : 0);
}

QString WorkProgress::workName(Work work)
{
    switch (work) {
    case Work::None:
        break;
    case Work::Keywords:
        return QStringLiteral("keywords");
    case Work::Email:
        return QStringLiteral("email");
    case Work::Contact:
        return QStringLiteral("contact");
    case Work::Report:
        return QStringLiteral("report");
    case Work::ImageWalk:
        return QStringLiteral("imageWalk");
    }
    return QString();
}

QString WorkProgress::phaseName(Phase phase)
{
    switch (phase) {
    case Phase::Idle:
        break;
    case Phase::Running:
        return QStringLiteral("running");
    case Phase::Waiting:
        return QStringLiteral("waiting");
    case Phase::Stopped:
        return QStringLiteral("stopped");
    case Phase::Finished:
        return QStringLiteral("finished");
    }
    return QStringLiteral("idle");
}

QString WorkProgress::text() const
{
    if (m_work == Work::None)
        return QString();
    const QString what = m_work == Work::Report      ? QStringLiteral("rows")
                       : m_work == Work::ImageWalk ? QStringLiteral("pictures")
                                                   : QStringLiteral("found");
    return QStringLiteral("%1/%2 pages, %3 %4").arg(m_done).arg(m_total).arg(m_found).arg(what);
}

QString WorkProgress::elapsedText(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(0, ms) / 1000;
    const qint64 h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
}

}  // namespace quorvane
