#pragma once

#include "host/transfer.h"
#include "support/eventloop/eventwait.h"

#include <QObject>

#include <vector>

namespace quorvane {

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
