#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorvane {

// One GET as the link checker sees it.
struct FetchReply {
    bool answered = false;    // an HTTP response came, whatever its status
    QString error;            // when not answered
    int httpStatus = 0;
    QString finalAddress;
    QStringList redirects;    // the addresses before the final one
    QList<QPair<QByteArray, QByteArray>> headers;  // of the final response
    QString body;

    // The last value of a header, case-insensitive name; empty when absent.
    QByteArray header(const QByteArray &name) const
    {
        for (qsizetype i = headers.size() - 1; i >= 0; --i) {
            if (headers.at(i).first.compare(name, Qt::CaseInsensitive) == 0)
                return headers.at(i).second;
        }
        return {};
    }
    QList<QByteArray> headerValues(const QByteArray &name) const
    {
        QList<QByteArray> values;
        for (const auto &h : headers) {
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                values.append(h.second);
        }
        return values;
    }
};

// Fetches pages for the link checker, one callback per started fetch unless
// cancelled. Callbacks come from the event loop, never from inside fetch().
class PageFetcher {
public:
    using Done = std::function<void(const FetchReply &)>;
    virtual ~PageFetcher() = default;

    // How many fetches may run at once.
    virtual int capacity() const = 0;
    // Returns a ticket for cancel().
    virtual int fetch(const QString &url, int maxBytes, Done done) = 0;
    virtual void cancel(int ticket) = 0;
};

// Renders a page with its scripts and tells the addresses its links point to
// (the web-engine reader). Optional: without one, no check is script-aware.
class RenderedLinks {
public:
    using Done = std::function<void(bool loaded, const QStringList &hrefs)>;
    virtual ~RenderedLinks() = default;
    virtual void read(const QString &url, Done done) = 0;
    virtual void cancel() = 0;
};

}  // namespace quorvane
