#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <ostream>

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

// Runs a test script in the page's main world and returns its result.
QVariant runScript(QWebEnginePage *page, const QString &source);

}  // namespace quorvane
