#include "testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>

namespace quorvane {

namespace {
QWebEngineProfile *g_profile = nullptr;
}

QWebEngineProfile *testProfile()
{
    return g_profile;
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

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

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs without the test environment: no engine needed to list.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    quorvane::g_profile = new QWebEngineProfile(&app);
    const int result = RUN_ALL_TESTS();
    delete quorvane::g_profile;
    return result;
}
