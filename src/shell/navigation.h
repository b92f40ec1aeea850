#pragma once

#include "core/config.h"

#include <QObject>
#include <QString>

#include <functional>

namespace quorvane {

class Browser;
class CommandTable;
class Host;
class WindowState;
struct Config;

// Back, forward, refresh, stop, home and the switch between the two views,
// and what the window does while Browser 1 loads: address bar, caption,
// status panel 1, the visited-domains history and the document hook.
// Toolbar commands act on the visible view, menu commands on Browser 1.
class Navigation final : public QObject {
    Q_OBJECT
public:
    Navigation(WindowState &state, Host &host, const Config &config, QObject *parent = nullptr);

    void bind(CommandTable &commands);

    void stop();
    void switchViews();
    // Halts the background page reader; installed by whoever owns it.
    void setSearchStopper(std::function<void()> stopSearch) { m_stopSearch = std::move(stopSearch); }
    // Halts the automatic image collector; installed by whoever owns it.
    void setWalkStopper(std::function<void()> stopWalk) { m_stopWalk = std::move(stopWalk); }

signals:
    // Browser 1's document is complete and its domain recorded: the image and
    // link collection step takes it from here.
    void mainViewDocumentReady();

private:
    enum class Target { VisibleViews, MainView };
    template <typename Action>
    void forViews(Target target, Action action);

    void connectMainView();
    void navigationCommitted(const QString &url);
    void downloadComplete();
    void documentComplete(bool topLevel);
    void toggleLinksListing();


    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
    std::function<void()> m_stopSearch;
    std::function<void()> m_stopWalk;
};

}  // namespace quorvane
