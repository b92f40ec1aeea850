#pragma once

#include "testserver/loopbackserver.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <ostream>
#include <string>

class QWebEngineProfile;
class QWebEnginePage;

// Readable failure messages for QString comparisons (found by argument lookup).
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace quorvane {

// One off-the-record profile for the whole run, made in main().
QWebEngineProfile *testProfile();

// Runs the event loop until the condition holds; false after the time-out,
// which only guards against a hang.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 30000);

// The server's address of path, as the browser reports it.
inline QString urlOf(const LoopbackServer &server, const std::string &path)
{
    return QString::fromStdString(server.url(path));
}

// Runs a test script in the page's main world and returns its result.
QVariant runScript(QWebEnginePage *page, const QString &source);

}  // namespace quorvane
