#include "transferfetcher.h"

#include "host/transfer.h"

#include <QTimer>

namespace quorvane {

TransferFetcher::TransferFetcher(QList<Transfer *> transfers, QObject *parent)
    : QObject(parent), m_transfers(std::move(transfers))
{
    for (Transfer *transfer : std::as_const(m_transfers)) {
        connect(transfer, &Transfer::finished, this,
                [this, transfer](const TransferResult &result) { onFinished(transfer, result); });
    }
}

TransferFetcher::~TransferFetcher()
{
    for (auto it = m_running.cbegin(); it != m_running.cend(); ++it)
        it.key()->cancel();
}

int TransferFetcher::fetch(const QString &url, int maxBytes, Done done)
{
    const int ticket = ++m_nextTicket;
    for (Transfer *transfer : std::as_const(m_transfers)) {
        if (m_running.contains(transfer) || transfer->stillExecuting())
            continue;
        m_running.insert(transfer, {ticket, maxBytes, std::move(done)});
        transfer->execute(url, maxBytes);
        return ticket;
    }
    // More fetches than transfers: the caller keeps to capacity(), so this
    // answers as a failure rather than queueing behind its back.
    QTimer::singleShot(0, this, [done = std::move(done)] {
        FetchReply reply;
        reply.error = QStringLiteral("no free transfer");
        done(reply);
    });
    return ticket;
}

void TransferFetcher::cancel(int ticket)
{
    for (auto it = m_running.begin(); it != m_running.end(); ++it) {
        if (it->ticket == ticket) {
            Transfer *transfer = it.key();
            m_running.erase(it);
            transfer->cancel();
            return;
        }
    }
}

void TransferFetcher::onFinished(Transfer *transfer, const TransferResult &result)
{
    const auto it = m_running.find(transfer);
    if (it == m_running.end())
        return;
    const Running running = std::move(*it);
    m_running.erase(it);

    FetchReply reply;
    reply.answered = result.status > 0;
    reply.httpStatus = result.status;
    reply.finalAddress = result.finalUrl;
    for (const RedirectHop &hop : result.redirects)
        reply.redirects.append(hop.url);
    for (const auto &field : result.headers.fields())
        reply.headers.append({field.first, field.second});
    if (!reply.answered)
        reply.error = QStringLiteral("no answer (refused, unreachable or cut off)");
    else if (result.complete())
        reply.body = transfer->readData(running.maxBytes);
    running.done(reply);
}

}  // namespace quorvane
