#pragma once

#include <QObject>
#include <QString>

namespace quorvane {

// A repeating timer that fires every interval while enabled.
class Timer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Timer() override = default;

    virtual QString name() const = 0;  // "Timer3", ...
    virtual int interval() const = 0;
    virtual void setInterval(int ms) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;

signals:
    void timeout();
};

}  // namespace quorvane
