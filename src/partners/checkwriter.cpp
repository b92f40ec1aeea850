#include "checkwriter.h"

#include <QMetaObject>

namespace quorvane {

StoreCheckWriter::StoreCheckWriter(PartnerStore &store, QObject *parent) : CheckWriter(parent), m_store(store) {}

void StoreCheckWriter::write(qint64 partnerId, const CheckRecord &record)
{
    PartnerState after;
    if (m_store.recordCheck(partnerId, record, &after))
        emit stored(partnerId, after);
    else
        emit failed(m_store.lastError());
}

std::unique_ptr<ThreadedCheckWriter> ThreadedCheckWriter::open(const QString &path, QString *error)
{
    std::unique_ptr<ThreadedCheckWriter> writer(new ThreadedCheckWriter);
    bool opened = false;
    QString openError;
    ThreadedCheckWriter *w = writer.get();
    w->m_thread = std::thread([w, path, &openError, &opened] { w->run(path, &openError, &opened); });
    std::unique_lock lock(w->m_mutex);
    w->m_idle.wait(lock, [w] { return w->m_ready; });
    lock.unlock();
    if (!opened) {
        w->m_thread.join();
        w->m_thread = std::thread();
        *error = openError;
        return nullptr;
    }
    return writer;
}

ThreadedCheckWriter::~ThreadedCheckWriter()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_work.notify_one();
    m_thread.join();
}

void ThreadedCheckWriter::write(qint64 partnerId, const CheckRecord &record)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.emplace_back(partnerId, record);
    }
    m_work.notify_one();
}

void ThreadedCheckWriter::checkpoint()
{
    {
        const std::lock_guard lock(m_mutex);
        m_checkpoint = true;
    }
    m_work.notify_one();
}

void ThreadedCheckWriter::waitStored()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    lock.unlock();
    deliver();
}

void ThreadedCheckWriter::run(const QString &path, QString *openError, bool *opened)
{
    // The connection belongs to this thread: made, used and closed here.
    PartnerStore store;
    {
        QString error;
        const bool ok = store.open(path, &error);
        const std::lock_guard lock(m_mutex);
        *opened = ok;
        *openError = error;
        m_ready = true;
        m_idle.notify_all();
        if (!ok)
            return;
    }
    for (;;) {
        std::vector<std::pair<qint64, CheckRecord>> batch;
        bool checkpoint = false;
        {
            std::unique_lock lock(m_mutex);
            m_work.wait(lock, [this] { return m_stop || m_checkpoint || !m_queue.empty(); });
            if (m_queue.empty() && !m_checkpoint)
                return;  // stopping, and nothing is left to store
            batch.swap(m_queue);
            checkpoint = m_checkpoint;
            m_checkpoint = false;
            m_busy = !batch.empty();
        }
        if (!batch.empty())
            storeBatch(store, std::move(batch));
        if (checkpoint)
            store.checkpoint();
    }
}

void ThreadedCheckWriter::storeBatch(PartnerStore &store, std::vector<std::pair<qint64, CheckRecord>> batch)
{
    std::vector<Written> written(batch.size());
    const bool together = batch.size() > 1 && store.begin();
    for (size_t i = 0; i < batch.size(); ++i) {
        Written &w = written[i];
        w.partnerId = batch[i].first;
        w.ok = store.recordCheck(w.partnerId, batch[i].second, &w.after);
        if (!w.ok)
            w.error = store.lastError();
    }
    if (together && !store.commit()) {
        // Nothing of the batch is stored: none of it may be told as stored.
        const QString why = QStringLiteral("storing checks: ") + store.lastError();
        for (Written &w : written) {
            w.ok = false;
            w.error = why;
        }
    }
    bool post = false;
    {
        const std::lock_guard lock(m_mutex);
        for (Written &w : written)
            m_done.push_back(std::move(w));
        m_busy = false;
        post = !m_deliveryPosted;
        m_deliveryPosted = true;
    }
    m_idle.notify_all();
    // Dropped by Qt if the writer is gone by then.
    if (post)
        QMetaObject::invokeMethod(this, [this] { deliver(); }, Qt::QueuedConnection);
}

void ThreadedCheckWriter::deliver()
{
    std::vector<Written> done;
    {
        const std::lock_guard lock(m_mutex);
        done.swap(m_done);
        m_deliveryPosted = false;
    }
    for (const Written &w : done) {
        if (w.ok)
            emit stored(w.partnerId, w.after);
        else
            emit failed(w.error);
    }
}

}  // namespace quorvane
