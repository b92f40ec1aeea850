#pragma once

#include "host/timer.h"

#include <QString>
#include <QTimer>

namespace quorvane {

// A window timer over QTimer: fires every interval while enabled. An interval
// of 0 keeps it silent, as a window timer with no interval never fires.
class QtTimer final : public Timer {
    Q_OBJECT
public:
    explicit QtTimer(QString name, QObject *parent = nullptr);

    QString name() const override { return m_name; }
    int interval() const override { return m_interval; }
    void setInterval(int ms) override;
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override;

private:
    QString m_name;
    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};

}  // namespace quorvane
