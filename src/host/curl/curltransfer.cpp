#include "curltransfer.h"

#include "curlmulti.h"
#include "textdecoding.h"

#include <curl/curl.h>

#include <utility>

namespace quorvane {

namespace {

bool isWebScheme(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme.compare(u"http", Qt::CaseInsensitive) == 0
        || scheme.compare(u"https", Qt::CaseInsensitive) == 0;
}

bool isFetchable(const QUrl &url)
{
    return url.isValid() && isWebScheme(url) && !url.host().isEmpty();
}

long responseCode(CURL *easy)
{
    long code = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

// The absolute Location of a 3xx response, or null when there is none.
const char *redirectTarget(CURL *easy)
{
    const long code = responseCode(easy);
    if (code < 300 || code >= 400)
        return nullptr;
    char *location = nullptr;
    curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location);
    return location;
}

}  // namespace

CurlTransfer::CurlTransfer(QString name, CurlMulti &multi, QObject *parent)
    : Transfer(parent)
    , m_name(std::move(name))
    , m_multi(&multi)
    , m_easy(curl_easy_init())
{
    m_failTimer.setSingleShot(true);
    m_failTimer.setInterval(0);
    connect(&m_failTimer, &QTimer::timeout, this, [this] {
        if (m_running)
            finish(TransferState::Error);
    });
}

CurlTransfer::~CurlTransfer()
{
    detach();
    if (m_easy)
        curl_easy_cleanup(m_easy);
}

bool CurlTransfer::isRedirectAllowed(const QUrl &from, const QUrl &to)
{
    if (!isFetchable(to))
        return false;
    const bool downgrade = from.scheme().compare(u"https", Qt::CaseInsensitive) == 0
        && to.scheme().compare(u"http", Qt::CaseInsensitive) == 0;
    return !downgrade;
}

void CurlTransfer::execute(const QString &url, int maxBytes)
{
    cancel();
    // A new operation never reports the previous page's text.
    m_text.clear();
    m_url = url;
    m_maxBytes = qMax(0, maxBytes);
    m_running = true;
    m_visited.clear();
    m_redirects = 0;
    m_status = 0;
    m_headers.clear();
    m_hops.clear();

    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    if (!isFetchable(parsed) || !m_easy || !m_multi) {
        failLater();
        return;
    }
    start(parsed);
}

void CurlTransfer::cancel()
{
    m_failTimer.stop();
    detach();
    m_running = false;
    m_body = QByteArray();
}

QString CurlTransfer::readData(int maxChars) const
{
    if (maxChars <= 0)
        return {};
    if (maxChars >= m_text.size())
        return m_text;
    qsizetype length = maxChars;
    // Never cut a surrogate pair in half.
    if (m_text.at(length - 1).isHighSurrogate())
        --length;
    return m_text.left(length);
}

void CurlTransfer::start(const QUrl &url)
{
    m_current = url;
    m_visited.insert(url);
    m_body = QByteArray();
    m_stop = Stop::None;
    ++m_run;

    curl_easy_reset(m_easy);
    curl_easy_setopt(m_easy, CURLOPT_URL, url.toEncoded(QUrl::RemoveFragment).constData());
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT, long(ConnectTimeoutSeconds));
    // A server that stops sending altogether ends the transfer in an error;
    // without this a stalled download would count as executing for ever.
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_TIME, long(m_stallSeconds));
    curl_easy_setopt(m_easy, CURLOPT_USERAGENT, userAgent().toUtf8().constData());
    // A short read (a crawled page's head, a published list) asks for no more
    // than it will read: a server that honours the range ends the response
    // there and keeps the connection for the next page, where cutting the
    // download off costs a new connection each time. A range of compressed
    // bytes cannot be decoded, so such requests take the page uncompressed.
    const bool ranged = m_maxBytes > 0 && m_maxBytes <= MaxRangedBytes;
    const QByteArray range = "0-" + QByteArray::number(m_maxBytes - 1);
    curl_easy_setopt(m_easy, CURLOPT_RANGE, ranged ? range.constData() : nullptr);
    curl_easy_setopt(m_easy, CURLOPT_ACCEPT_ENCODING, ranged ? nullptr : "");
    // Room for a whole short read in one receive call instead of several.
    curl_easy_setopt(m_easy, CURLOPT_BUFFERSIZE, long(MaxRangedBytes));
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::writeCallback);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::headerCallback);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    m_headers.clear();

    if (!m_multi || !m_multi->add(m_easy, this)) {
        failLater();
        return;
    }
    m_attached = true;
}

size_t CurlTransfer::writeCallback(char *data, size_t size, size_t count, void *self)
{
    return static_cast<CurlTransfer *>(self)->write(data, size * count);
}

size_t CurlTransfer::headerCallback(char *data, size_t size, size_t count, void *self)
{
    // Each response of the hop (an interim 1xx, then the real one) starts with
    // its status line, which empties the set: the last response's fields stay.
    static_cast<CurlTransfer *>(self)->m_headers.addLine(QByteArrayView(data, qsizetype(size * count)));
    return size * count;
}

size_t CurlTransfer::write(const char *data, size_t length)
{
    // Returning less than length aborts the download; handleFinished() reads m_stop
    // to tell these deliberate stops from network failures.
    const long code = responseCode(m_easy);
    // An empty resource cannot satisfy a range: it is an empty page, not an error.
    if (code == 416)
        return length;
    if (code >= 400) {
        m_stop = Stop::HttpError;
        return 0;
    }
    if (redirectTarget(m_easy)) {
        m_stop = Stop::Redirect;
        return 0;
    }
    const qsizetype room = m_maxBytes - m_body.size();
    if (m_body.isEmpty()) {
        // One allocation for the whole body when the server says its length,
        // rather than a copy at each doubling.
        curl_off_t expected = -1;
        if (curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected) == CURLE_OK && expected > 0)
            m_body.reserve(qMin(room, qsizetype(expected)));
    }
    m_body.append(data, qMin(room, qsizetype(length)));
    // A partial response that ends at the limit finishes by itself.
    if (qsizetype(length) <= room && code == 206)
        return length;
    if (m_body.size() >= m_maxBytes) {
        m_stop = Stop::Capped;
        return 0;
    }
    return length;
}

void CurlTransfer::handleFinished(quint64 run, int result)
{
    if (run != m_run || !m_running)
        return;
    m_attached = false;
    m_status = int(responseCode(m_easy));

    if (const char *location = redirectTarget(m_easy)) {
        const QUrl next = QUrl::fromEncoded(QByteArray(location));
        const bool loops = m_visited.contains(next);
        if (!isRedirectAllowed(m_current, next) || loops || ++m_redirects > MaxRedirects) {
            finish(TransferState::Error);
            return;
        }
        m_hops.append({m_current.toString(QUrl::FullyEncoded), m_status});
        start(next);
        return;
    }
    if (m_stop == Stop::Capped) {
        finish(TransferState::Complete);
        return;
    }
    const long code = responseCode(m_easy);
    finish(result == CURLE_OK && code > 0 && (code < 400 || code == 416) ? TransferState::Complete : TransferState::Error);
}

void CurlTransfer::finish(TransferState state)
{
    m_running = false;
    if (state == TransferState::Complete) {
        char *contentType = nullptr;
        curl_easy_getinfo(m_easy, CURLINFO_CONTENT_TYPE, &contentType);
        m_finalUrl = m_current;
        m_text = decodeBody(m_body, QByteArray(contentType));
    }
    m_body = QByteArray();
    TransferResult result;
    result.state = state;
    result.url = m_url;
    result.status = m_status;
    // Without redirects the response came from the address asked, as given.
    if (m_status > 0)
        result.finalUrl = m_hops.isEmpty() ? m_url : m_current.toString(QUrl::FullyEncoded);
    result.redirects = m_hops;
    result.headers = m_headers;
    // Listeners may delete us; nothing may touch members after this.
    emit finished(result);
}

void CurlTransfer::failLater()
{
    m_attached = false;
    m_status = 0;
    m_headers.clear();
    m_failTimer.start();
}

void CurlTransfer::detach()
{
    if (m_attached && m_multi)
        m_multi->remove(m_easy);
    m_attached = false;
    ++m_run;
}

void CurlTransfer::abandon()
{
    m_attached = false;
    m_running = false;
    m_failTimer.stop();
    m_body = QByteArray();
    ++m_run;
}

}  // namespace quorvane
