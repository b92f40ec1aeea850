#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>

namespace quorvane {

// Watches a renderer process's resident memory from outside it: the kernel's
// count in /proc/PID/status, read on a timer. A renderer busy parsing an
// endless page runs no script and answers no question, but it is measured all
// the same, and no page can make it look smaller.
class RendererWatch final : public QObject {
    Q_OBJECT
public:
    // The renderer of the moment (a navigation may move the page to another
    // process); 0 while there is none.
    using PidSource = std::function<qint64()>;

    RendererWatch(PidSource pid, qint64 limitBytes, int intervalMs, QObject *parent = nullptr);

    void start();
    void stop();
    bool active() const { return m_timer.isActive(); }

    // Resident bytes of the process; -1 when it cannot be read (gone, or not Linux).
    static qint64 residentBytes(qint64 pid);
    // The VmRSS line of a /proc/PID/status text, in bytes; -1 without a well-formed one.
    static qint64 parseResidentBytes(const QByteArray &status);

signals:
    // Once per start(): the watch stops itself before raising it.
    void limitPassed(qint64 residentBytes);

private:
    void sample();

    PidSource m_pid;
    qint64 m_limit;
    QTimer m_timer;
};

}  // namespace quorvane
