#pragma once

#include "partners/pagefetcher.h"

#include <QList>
#include <QMap>
#include <QString>

namespace quorvane {

// Fetches that finish when the test says so.
class FakeFetcher final : public PageFetcher {
public:
    struct Pending {
        int ticket = 0;
        QString url;
        Done done;
    };

    int capacity() const override { return 4; }
    int fetch(const QString &url, int, Done done) override
    {
        const int ticket = ++m_next;
        m_pending.insert(ticket, {ticket, url, std::move(done)});
        m_started.append(url);
        return ticket;
    }
    void cancel(int ticket) override
    {
        if (m_pending.remove(ticket))
            ++m_cancelled;
    }

    QList<QString> pendingUrls() const
    {
        QList<QString> urls;
        for (const Pending &p : m_pending)
            urls.append(p.url);
        return urls;
    }
    // Answers the oldest pending fetch of url; false when there is none.
    bool answer(const QString &url, const FetchReply &reply)
    {
        for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
            if (it->url == url) {
                const Done done = it->done;
                m_pending.erase(it);
                FetchReply full = reply;
                if (full.answered && full.finalAddress.isEmpty())
                    full.finalAddress = url;
                done(full);
                return true;
            }
        }
        return false;
    }
    static FetchReply page(int status, const QString &body = {}, QList<QPair<QByteArray, QByteArray>> headers = {})
    {
        FetchReply r;
        r.answered = true;
        r.httpStatus = status;
        r.body = body;
        r.headers = std::move(headers);
        return r;
    }
    static FetchReply failure(const QString &why = QStringLiteral("connection refused"))
    {
        FetchReply r;
        r.error = why;
        return r;
    }

    const QStringList &started() const { return m_started; }
    int cancelled() const { return m_cancelled; }

private:
    int m_next = 0;
    QMap<int, Pending> m_pending;
    QStringList m_started;
    int m_cancelled = 0;
};

}  // namespace quorvane
