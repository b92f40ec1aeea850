#pragma once

#include "httpheaders.h"

#include <QList>
#include <QObject>
#include <QString>

namespace quorvane {

// How a transfer ended, with the numbers the window's state-changed handlers
// know them by.
enum class TransferState { Error = 11, Complete = 12 };

// One response of a redirect chain: the address asked and the 3xx status it
// answered with.
struct RedirectHop {
    QString url;
    int status = 0;

    friend bool operator==(const RedirectHop &, const RedirectHop &) = default;
};

// One finished operation: how it ended and the address it was for (the
// transfer may already be on its next address when a handler reads this).
// The response fields describe the last response received, whatever the
// state: a 429 or 503 ends in Error but still carries its status and headers
// (Retry-After); a redirect that was refused carries its 3xx.
struct TransferResult {
    TransferState state = TransferState::Error;
    QString url;
    // HTTP status of the last response; 0 when none arrived (refused,
    // unreachable, not a web address, cut off before the status line).
    int status = 0;
    // Where the last response came from, after redirects; empty when no
    // response arrived.
    QString finalUrl;
    // The redirects followed to get there, in order.
    QList<RedirectHop> redirects;
    // The header fields of the last response.
    HttpHeaders headers;

    bool complete() const { return state == TransferState::Complete; }
};

// How the program introduces itself to web servers: its product token and
// version, then the site where an operator reads who is calling, as crawlers
// do. Robots files name the product token "Quorvane".
inline constexpr char ProgramProduct[] = "Quorvane/0.1";
// "Quorvane/0.1 (+http://HOST[:PORT]/)" for a home site given as HOST[:PORT].
QString userAgentFor(const QString &homeSite);

// An asynchronous HTTP GET, one operation at a time per instance.
class Transfer : public QObject {
    Q_OBJECT
public:
    // Until the program sets the one for its configured home site.
    static QString defaultUserAgent();

    using QObject::QObject;
    ~Transfer() override = default;

    virtual QString name() const = 0;  // "Inet1", ...

    // Sent with every later execute(). Control characters are dropped (they
    // would end the header line and start another); an empty one restores
    // the default.
    void setUserAgent(const QString &userAgent);
    QString userAgent() const { return m_userAgent; }

    // Starts a GET and returns at once. The download stops once maxBytes bytes
    // of body have arrived; the response then completes with what was read.
    virtual void execute(const QString &url, int maxBytes) = 0;
    virtual bool stillExecuting() const = 0;
    virtual QString url() const = 0;  // of the current or last operation
    virtual void cancel() = 0;
    // The body of the last completed response, decoded, at most maxChars characters.
    virtual QString readData(int maxChars) const = 0;

signals:
    // Delivered with stillExecuting() already false. A cancelled operation
    // delivers nothing.
    void finished(const quorvane::TransferResult &result);

private:
    QString m_userAgent = defaultUserAgent();
};

}  // namespace quorvane
