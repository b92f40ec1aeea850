#pragma once

#include "support/eventloop/eventwait.h"
#include "support/qtapp/webengineapp.h"
#include "testserver/loopbackserver.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <ostream>
#include <string>

class QWebEnginePage;

// Readable failure messages for QString comparisons (found by argument lookup).
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace quorvane {

// The server's address of path, as the browser reports it.
inline QString urlOf(const LoopbackServer &server, const std::string &path)
{
    return QString::fromStdString(server.url(path));
}

// A server that ends each connection after one answer: the engine keeps idle
// connections open, and stopping a server waits those out (a second each test).
inline LoopbackServer::Options quickServer(LoopbackServer::Pages pages, std::string staticRoot = {})
{
    LoopbackServer::Options options;
    options.pages = std::move(pages);
    options.staticRoot = std::move(staticRoot);
    options.requestsPerConnection = 1;
    return options;
}

// The events of one top-level load, failed or not: every load completes.
inline QStringList loadEvents(const QString &url)
{
    return {QStringLiteral("before ") + url, QStringLiteral("navigate ") + url + QStringLiteral(" top"),
            QStringLiteral("download"), QStringLiteral("document top")};
}

// Runs a test script in the page's main world and returns its result.
QVariant runScript(QWebEnginePage *page, const QString &source);

}  // namespace quorvane
