#pragma once

#include "pagefetcher.h"

#include <QHash>
#include <QList>
#include <QObject>

namespace quorvane {

class Transfer;
struct TransferResult;

// Partner pages through the program's transfers, one fetch per transfer.
class TransferFetcher final : public QObject, public PageFetcher {
    Q_OBJECT
public:
    explicit TransferFetcher(QList<Transfer *> transfers, QObject *parent = nullptr);
    ~TransferFetcher() override;

    int capacity() const override { return int(m_transfers.size()); }
    int fetch(const QString &url, int maxBytes, Done done) override;
    void cancel(int ticket) override;

private:
    struct Running {
        int ticket = 0;
        int maxBytes = 0;
        Done done;
    };
    void onFinished(Transfer *transfer, const TransferResult &result);

    QList<Transfer *> m_transfers;
    QHash<Transfer *, Running> m_running;
    int m_nextTicket = 0;
};

}  // namespace quorvane
