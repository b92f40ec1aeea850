#pragma once

#include <QObject>
#include <QString>

namespace quorvane {

// An asynchronous HTTP GET, one operation at a time per instance.
class Transfer : public QObject {
    Q_OBJECT
public:
    static constexpr int StateError = 11;
    static constexpr int StateComplete = 12;

    using QObject::QObject;
    ~Transfer() override = default;

    virtual QString name() const = 0;  // "Inet1", ...

    // Starts a GET and returns at once. The download stops once maxBytes bytes
    // of body have arrived; the response then completes with what was read.
    virtual void execute(const QString &url, int maxBytes) = 0;
    virtual bool stillExecuting() const = 0;
    virtual QString url() const = 0;  // of the current or last operation
    virtual void cancel() = 0;
    // The body of the last completed response, decoded, at most maxChars characters.
    virtual QString readData(int maxChars) const = 0;

signals:
    // Delivered with stillExecuting() already false for 11 and 12.
    void stateChanged(int state);
};

}  // namespace quorvane
