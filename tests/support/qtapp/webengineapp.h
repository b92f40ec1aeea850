#pragma once

#include <memory>

class QApplication;
class QWebEngineProfile;

namespace quorvane {

// The application of a test or benchmark program that shows QtWebEngine pages:
// offscreen and without the engine's sandbox unless the environment says
// otherwise, with one off-the-record profile for the whole run.
class WebEngineApp final {
public:
    WebEngineApp(int &argc, char **argv);
    ~WebEngineApp();

    WebEngineApp(const WebEngineApp &) = delete;
    WebEngineApp &operator=(const WebEngineApp &) = delete;

    // The running application's profile.
    static QWebEngineProfile *profile();

private:
    std::unique_ptr<QApplication> m_app;
};

}  // namespace quorvane
