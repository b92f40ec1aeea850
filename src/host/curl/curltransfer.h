#pragma once

#include "host/transfer.h"

#include <QByteArray>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QUrl>

namespace quorvane {

class CurlMulti;

// An HTTP(S) GET on libcurl, driven by a shared CurlMulti. Redirects are followed
// here rather than by libcurl so that every hop can be checked.
class CurlTransfer final : public Transfer {
    Q_OBJECT
public:
    static constexpr int MaxRedirects = 20;
    static constexpr int ConnectTimeoutSeconds = 15;
    // A transfer that receives nothing for this long ends in an error.
    static constexpr int DefaultStallSeconds = 60;
    // Reads up to this size ask the server for that range only.
    static constexpr int MaxRangedBytes = 1 << 16;

    CurlTransfer(QString name, CurlMulti &multi, QObject *parent = nullptr);
    ~CurlTransfer() override;

    QString name() const override { return m_name; }
    // For the next execute(); tests use a short one.
    void setStallSeconds(int seconds) { m_stallSeconds = qMax(1, seconds); }
    void execute(const QString &url, int maxBytes) override;
    bool stillExecuting() const override { return m_running; }
    QString url() const override { return m_url; }
    void cancel() override;
    QString readData(int maxChars) const override;

    // Where the last completed response came from, after redirects.
    QUrl finalUrl() const { return m_finalUrl; }

    // Only http and https, and never down from https to http.
    static bool isRedirectAllowed(const QUrl &from, const QUrl &to);

private:
    friend class CurlMulti;

    enum class Stop { None, Capped, HttpError, Redirect };

    static size_t writeCallback(char *data, size_t size, size_t count, void *self);
    static size_t headerCallback(char *data, size_t size, size_t count, void *self);
    size_t write(const char *data, size_t length);

    void start(const QUrl &url);
    void handleFinished(quint64 run, int result);
    void finish(TransferState state);
    void failLater();
    void detach();
    // Called by a CurlMulti that is going away while we are attached to it.
    void abandon();

    QString m_name;
    QPointer<CurlMulti> m_multi;
    void *m_easy = nullptr;
    QTimer m_failTimer;

    QString m_url;
    QUrl m_current;
    QSet<QUrl> m_visited;
    int m_redirects = 0;
    qsizetype m_maxBytes = 0;
    int m_stallSeconds = DefaultStallSeconds;
    bool m_running = false;
    bool m_attached = false;
    quint64 m_run = 0;
    Stop m_stop = Stop::None;
    QByteArray m_body;
    // Of the operation under way, for its TransferResult.
    int m_status = 0;
    HttpHeaders m_headers;
    QList<RedirectHop> m_hops;

    QUrl m_finalUrl;
    QString m_text;
};

}  // namespace quorvane
