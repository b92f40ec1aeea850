#include "curlmulti.h"

#include "curltransfer.h"

#include <QSocketNotifier>

#include <curl/curl.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <array>
#include <type_traits>
#include <utility>
#include <vector>

namespace quorvane {

// The header declares the callbacks with plain types; they must match libcurl's.
static_assert(std::is_same_v<curl_socket_t, int>);
static_assert(std::is_same_v<CURL, void> && std::is_same_v<CURLM, void>);

namespace {

void initCurlOnce()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

}  // namespace

CurlMulti::CurlMulti(QObject *parent)
    : QObject(parent)
{
    initCurlOnce();
    m_multi = curl_multi_init();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CurlMulti::onTimeout);
    m_epoll = epoll_create1(EPOLL_CLOEXEC);
    if (m_epoll >= 0) {
        m_ready = new QSocketNotifier(m_epoll, QSocketNotifier::Read, this);
        connect(m_ready, &QSocketNotifier::activated, this, &CurlMulti::onSocketsReady);
    }
    if (m_multi) {
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlMulti::socketCallback);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlMulti::timerCallback);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    }
}

CurlMulti::~CurlMulti()
{
    // Transfers may outlive us; they end silently, like a cancel.
    const auto owners = std::exchange(m_owners, {});
    for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
        curl_multi_remove_handle(m_multi, it.key());
        it.value()->abandon();
    }
    if (m_multi) {
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, nullptr);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, nullptr);
        curl_multi_cleanup(m_multi);
    }
    m_timer.stop();
    delete m_ready;
    if (m_epoll >= 0)
        ::close(m_epoll);
}

bool CurlMulti::add(void *easy, CurlTransfer *owner)
{
    // Without the epoll set no socket could be watched: the transfer fails at once.
    if (!m_multi || m_epoll < 0 || curl_multi_add_handle(m_multi, easy) != CURLM_OK)
        return false;
    m_owners.insert(easy, owner);
    return true;
}

void CurlMulti::remove(void *easy)
{
    if (m_owners.remove(easy))
        curl_multi_remove_handle(m_multi, easy);
}

int CurlMulti::socketCallback(void *, int socket, int what, void *self, void *)
{
    auto *multi = static_cast<CurlMulti *>(self);
    if (what == CURL_POLL_REMOVE)
        multi->forgetSocket(socket);
    else
        multi->watchSocket(socket, what);
    return 0;
}

int CurlMulti::timerCallback(void *, long timeoutMs, void *self)
{
    auto *multi = static_cast<CurlMulti *>(self);
    // Never drive libcurl from inside its own callback: a zero timeout runs on the
    // next pass of the event loop instead.
    if (timeoutMs < 0)
        multi->m_timer.stop();
    else
        multi->m_timer.start(int(qMin<long>(timeoutMs, 24L * 3600 * 1000)));
    return 0;
}

void CurlMulti::watchSocket(int socket, int what)
{
    const auto it = m_sockets.find(socket);
    const bool known = it != m_sockets.end();
    if (known && it.value() == what)
        return;
    epoll_event event{};
    event.events = (what == CURL_POLL_IN || what == CURL_POLL_INOUT ? EPOLLIN : 0u)
                 | (what == CURL_POLL_OUT || what == CURL_POLL_INOUT ? EPOLLOUT : 0u);
    event.data.fd = socket;
    if (epoll_ctl(m_epoll, known ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, socket, &event) != 0) {
        // The descriptor may have been closed and reused behind our back.
        if (epoll_ctl(m_epoll, known ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, socket, &event) != 0)
            return;
    }
    m_sockets.insert(socket, what);
}

void CurlMulti::forgetSocket(int socket)
{
    if (m_sockets.remove(socket))
        epoll_ctl(m_epoll, EPOLL_CTL_DEL, socket, nullptr);
}

void CurlMulti::onSocketsReady()
{
    // A batch at a time: sockets still ready afterwards wake the notifier again.
    std::array<epoll_event, 16> events;
    const int count = epoll_wait(m_epoll, events.data(), int(events.size()), 0);
    const QPointer<CurlMulti> self(this);
    for (int i = 0; i < count && self; ++i) {
        const uint32_t ready = events[i].events;
        const int socket = events[i].data.fd;
        // An earlier socket's handling may have closed this one.
        if (!m_sockets.contains(socket))
            continue;
        int mask = 0;
        if (ready & (EPOLLIN | EPOLLHUP | EPOLLRDHUP))
            mask |= CURL_CSELECT_IN;
        if (ready & EPOLLOUT)
            mask |= CURL_CSELECT_OUT;
        if (ready & EPOLLERR)
            mask |= CURL_CSELECT_ERR;
        drive(socket, mask);
    }
}

void CurlMulti::onTimeout()
{
    drive(CURL_SOCKET_TIMEOUT, 0);
}

void CurlMulti::drive(int socket, int eventMask)
{
    int running = 0;
    curl_multi_socket_action(m_multi, socket, eventMask, &running);
    deliverFinished();
}

void CurlMulti::deliverFinished()
{
    struct Finished {
        QPointer<CurlTransfer> owner;
        quint64 run;
        int result;
    };
    // Take every finished handle out before telling anyone: the handlers may start,
    // cancel or delete transfers, which must not disturb this list.
    std::vector<Finished> finished;
    int queued = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CurlTransfer *owner = m_owners.take(message->easy_handle);
        const CURLcode result = message->data.result;
        curl_multi_remove_handle(m_multi, message->easy_handle);
        if (owner)
            finished.push_back({owner, owner->m_run, result});
    }
    const QPointer<CurlMulti> self(this);
    for (const Finished &entry : finished) {
        if (!self)
            return;
        if (entry.owner)
            entry.owner->handleFinished(entry.run, entry.result);
    }
}

}  // namespace quorvane
