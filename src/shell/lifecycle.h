#pragma once

#include "core/config.h"

#include <QString>

#include <functional>

namespace quorvane {

class Host;
class WindowState;
struct Config;

// Start-up and shutdown of the main window: the list files, the home-site
// downloads, the welcome page and the image buffer pages.
class Lifecycle final {
public:
    Lifecycle(WindowState &state, Host &host, const Config &config);

    void Form_Load();
    // closeWindows closes the generator windows, between cancelling the
    // readers and writing the lists.
    void Form_Unload(const std::function<void()> &closeWindows = {});
    void Form_Terminate();

    // The image buffer as a page: <html><body>, an img per entry, </body></html>.
    QString imageBufferPage() const;
    // A file in the program folder.
    QString programFile(const QString &name) const;

private:
    void writePage(const QString &name, const QByteArray &bytes) const;
    // Tells the user at once when the program folder cannot be written.
    void checkProgramFolder();

    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
};

}  // namespace quorvane
