#pragma once

#include "checkrecord.h"
#include "partnerstore.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvane {

// Stores what the checker finds, one check a page.
class CheckWriter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~CheckWriter() override = default;

    virtual void write(qint64 partnerId, const CheckRecord &record) = 0;
    // Returns once every check written so far is stored and its signal sent.
    virtual void waitStored() = 0;
    // Moves the log into the file (its only sync), after a run.
    virtual void checkpoint() = 0;

signals:
    // In the order written; after holds the partner's verdict fields as stored.
    void stored(qint64 partnerId, const quorvane::PartnerState &after);
    void failed(const QString &why);
};

// Stores into the caller's store at once.
class StoreCheckWriter final : public CheckWriter {
    Q_OBJECT
public:
    explicit StoreCheckWriter(PartnerStore &store, QObject *parent = nullptr);
    void write(qint64 partnerId, const CheckRecord &record) override;
    void waitStored() override {}
    void checkpoint() override { m_store.checkpoint(); }

private:
    PartnerStore &m_store;
};

// Stores on a thread of its own through a connection of its own, so that the
// window never waits for the disk. Checks that come while a commit is under
// way go into the next transaction together: none waits for a timer, and a
// crash loses only checks not yet committed, which are the ones in flight.
class ThreadedCheckWriter final : public CheckWriter {
    Q_OBJECT
public:
    // Opens the store file on the writer's thread; null with error set when it cannot.
    static std::unique_ptr<ThreadedCheckWriter> open(const QString &path, QString *error);
    // Stores what is queued before it goes.
    ~ThreadedCheckWriter() override;

    void write(qint64 partnerId, const CheckRecord &record) override;
    void waitStored() override;
    // On the writer's thread, once what is queued now is stored.
    void checkpoint() override;

private:
    struct Written {
        qint64 partnerId = 0;
        bool ok = false;
        PartnerState after;
        QString error;
    };

    ThreadedCheckWriter() = default;
    void run(const QString &path, QString *openError, bool *opened);
    void storeBatch(PartnerStore &store, std::vector<std::pair<qint64, CheckRecord>> batch);
    void deliver();

    std::mutex m_mutex;
    std::condition_variable m_work;  // something queued, or stop
    std::condition_variable m_idle;  // the queue is stored, or the store opened
    std::vector<std::pair<qint64, CheckRecord>> m_queue;
    std::vector<Written> m_done;
    bool m_busy = false;
    bool m_checkpoint = false;
    bool m_stop = false;
    bool m_ready = false;
    bool m_deliveryPosted = false;
    std::thread m_thread;
};

}  // namespace quorvane
