#include "webengineapp.h"

#include <QApplication>
#include <QWebEngineProfile>

namespace quorvane {

namespace {
QWebEngineProfile *g_profile = nullptr;
}

WebEngineApp::WebEngineApp(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The sandbox cannot run as root, which containers and CI often are.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    m_app = std::make_unique<QApplication>(argc, argv);
    g_profile = new QWebEngineProfile(m_app.get());
}

WebEngineApp::~WebEngineApp()
{
    // The profile goes before the application, as the engine expects.
    delete g_profile;
    g_profile = nullptr;
}

QWebEngineProfile *WebEngineApp::profile()
{
    return g_profile;
}

}  // namespace quorvane
