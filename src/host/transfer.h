#pragma once

#include <QObject>
#include <QString>

namespace quorvane {

// How a transfer ended, with the numbers the window's state-changed handlers
// know them by.
enum class TransferState { Error = 11, Complete = 12 };

// One finished operation: how it ended and the address it was for (the
// transfer may already be on its next address when a handler reads this).
struct TransferResult {
    TransferState state = TransferState::Error;
    QString url;
    // An error where nothing answered at the address (no connection, no name,
    // no response at all), as opposed to an answer that was an error.
    bool unreachable = false;

    bool complete() const { return state == TransferState::Complete; }
};

// An asynchronous HTTP GET, one operation at a time per instance.
class Transfer : public QObject {
    Q_OBJECT
public:
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
    // Delivered with stillExecuting() already false. A cancelled operation
    // delivers nothing.
    void finished(const quorvane::TransferResult &result);
};

}  // namespace quorvane
