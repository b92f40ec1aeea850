#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QSocketNotifier;

namespace quorvane {

class CurlTransfer;

// The one libcurl multi handle of the process. libcurl tells it which sockets to
// watch and when to wake up; the sockets go into one epoll set watched by a
// single QSocketNotifier, the wake-ups into a single-shot QTimer, so every
// transfer runs on the Qt event loop of the thread that owns it. One notifier
// for all sockets: adding or removing a notifier costs the event loop a wake-up
// each time, and libcurl changes what it watches several times per request.
class CurlMulti final : public QObject {
    Q_OBJECT
public:
    explicit CurlMulti(QObject *parent = nullptr);
    ~CurlMulti() override;

    CurlMulti(const CurlMulti &) = delete;
    CurlMulti &operator=(const CurlMulti &) = delete;

    // Easy handles currently attached.
    int activeCount() const { return int(m_owners.size()); }

private:
    friend class CurlTransfer;

    // For CurlTransfer. Handles are opaque CURL pointers so that libcurl's headers
    // stay out of ours.
    bool add(void *easy, CurlTransfer *owner);
    void remove(void *easy);

    static int socketCallback(void *easy, int socket, int what, void *self, void *socketData);
    static int timerCallback(void *multi, long timeoutMs, void *self);

    void watchSocket(int socket, int what);
    void forgetSocket(int socket);
    void onSocketsReady();
    void onTimeout();
    void drive(int socket, int eventMask);
    void deliverFinished();

    void *m_multi = nullptr;
    int m_epoll = -1;
    QSocketNotifier *m_ready = nullptr;
    QTimer m_timer;
    QHash<int, int> m_sockets;  // socket -> libcurl's CURL_POLL_* wish
    QHash<void *, CurlTransfer *> m_owners;
};

}  // namespace quorvane
