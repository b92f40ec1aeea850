#include "rendererwatch.h"

#include <QFile>

#include <limits>
#include <utility>

namespace quorvane {

RendererWatch::RendererWatch(PidSource pid, qint64 limitBytes, int intervalMs, QObject *parent)
    : QObject(parent), m_pid(std::move(pid)), m_limit(limitBytes)
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RendererWatch::sample);
}

void RendererWatch::start()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void RendererWatch::stop()
{
    m_timer.stop();
}

void RendererWatch::sample()
{
    const qint64 pid = m_pid();
    if (pid <= 0)
        return;
    const qint64 resident = residentBytes(pid);
    if (resident <= m_limit)
        return;
    m_timer.stop();
    emit limitPassed(resident);
}

qint64 RendererWatch::residentBytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    // The line sits in the first kilobytes; the file is never large.
    return parseResidentBytes(status.read(16 * 1024));
}

qint64 RendererWatch::parseResidentBytes(const QByteArray &status)
{
    for (const QByteArray &line : status.split('\n')) {
        if (!line.startsWith("VmRSS:"))
            continue;
        const QList<QByteArray> fields = line.mid(6).simplified().split(' ');
        if (fields.size() != 2 || fields.at(1) != "kB")
            return -1;
        bool ok = false;
        const qint64 kilobytes = fields.at(0).toLongLong(&ok);
        if (!ok || kilobytes < 0 || kilobytes > std::numeric_limits<qint64>::max() / 1024)
            return -1;
        return kilobytes * 1024;
    }
    return -1;
}

}  // namespace quorvane
