#pragma once

#include "host/transfer.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

namespace quorvane {

// Runs the event loop until done() holds or timeoutMs passes; returns done().
inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 10000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    guard.start(timeoutMs);
    poll.start();
    loop.exec();
    return done();
}

// Runs the event loop for a while, to give unwanted signals a chance to arrive.
inline void spin(int ms)
{
    waitUntil([] { return false; }, ms);
}

// Every finished() of a transfer, with stillExecuting() as seen inside the signal.
class StateLog final {
public:
    explicit StateLog(Transfer &transfer)
    {
        QObject::connect(&transfer, &Transfer::finished, &m_context, [this, &transfer](const TransferResult &r) {
            states.push_back(r.state);
            urls.push_back(r.url);
            executingInSignal.push_back(transfer.stillExecuting());
        });
    }

    // The first state to arrive, or 0 if none came in time.
    TransferState wait(int timeoutMs = 10000)
    {
        waitUntil([this] { return !states.empty(); }, timeoutMs);
        return states.empty() ? TransferState{} : states.front();
    }

    std::vector<TransferState> states;
    std::vector<QString> urls;
    std::vector<bool> executingInSignal;

private:
    QObject m_context;
};

}  // namespace quorvane
