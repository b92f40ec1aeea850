#pragma once

#include "support/eventloop/eventwait.h"
#include "support/qtapp/webengineapp.h"
#include "testserver/loopbackserver.h"

#include <QString>
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

// Runs a test script in the page's main world and returns its result.
QVariant runScript(QWebEnginePage *page, const QString &source);

}  // namespace quorvane
