#include "testsupport.h"

#include <QWebEnginePage>
#include <QWebEngineScript>

namespace quorvane {

QVariant runScript(QWebEnginePage *page, const QString &source)
{
    bool done = false;
    QVariant result;
    page->runJavaScript(source, QWebEngineScript::MainWorld, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    waitUntil([&] { return done; });
    return result;
}

}  // namespace quorvane
