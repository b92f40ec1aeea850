#pragma once

#include "core/config.h"
#include "core/windowevents.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <QObject>
#include <QString>

#include <memory>

namespace quorvane {

class CommandTable;
class Lifecycle;
class Harvester;
class Crawler;
class ExportCommands;
class SiteGenerator;
class Navigation;
class Toolbar;
class WindowLayout;
class Favorites;
class MenuCommands;
class LinkWalker;
class HomePageWalk;
class ChannelLists;
class PrivateZone;
class ImageCollector;
class Catalog;
class AdultListing;
class SessionJournal;
class HomeSiteWatch;

// The composition root of the window's logic: builds one object per role,
// wires them to each other, and routes the window's events (menu entries,
// buttons, lists, keys, status panels) to them by control name through the
// command table. The Qt window and the automation interface both call it;
// tests drive it on the fake host.
class WindowLogic final : public WindowEvents {
    Q_OBJECT
public:
    WindowLogic(WindowState &state, Host &host, Config config, QObject *parent = nullptr);
    ~WindowLogic() override;

    WindowState &state() { return m_state; }
    Host &host() { return m_host; }
    const Config &config() const { return m_config; }

    // Start-up, before the window is shown; after the window is gone.
    void Form_Load();
    // Once the window shows: opens the session journal and restores the
    // previous session when it ended badly and the user says so, always
    // (restoreAfterNormalExit), or at once when newest is set.
    void startSessionJournal(bool newest = false);
    void Form_Terminate();

    void Form_Unload() override;
    bool menuClick(const QString &name, int index = -1) override;
    bool buttonDown(const QString &control, MouseButton button) override;
    bool buttonUp(const QString &control, MouseButton button) override;
    bool buttonClick(const QString &control) override;
    bool buttonHover(const QString &control) override;
    void backgroundHover() override;
    bool listClick(const QString &list, int index) override;
    bool listDoubleClick(const QString &list, int index) override;
    bool listMouseDown(const QString &list, int index, MouseButton button) override;
    bool keyPress(const QString &control, Key key) override;
    void panelClick(int panel) override;
    void panelDoubleClick(int panel) override;
    void resizeClient(int widthTwips, int heightTwips) override;
    bool holdsLinkClicks() const override;

    Harvester &harvester() { return *m_harvester; }
    Crawler &crawler() { return *m_crawler; }
    SiteGenerator &siteGenerator() { return *m_siteGenerator; }
    Navigation &navigation() { return *m_navigation; }
    Toolbar &toolbar() { return *m_toolbar; }
    Favorites &favorites() { return *m_favorites; }
    MenuCommands &menuCommands() { return *m_menuCommands; }
    LinkWalker &linkWalker() { return *m_linkWalker; }
    HomePageWalk &homePageWalk() { return *m_homePageWalk; }
    ChannelLists &channelLists() { return *m_channelLists; }
    PrivateZone &privateZone() { return *m_privateZone; }
    ImageCollector &imageCollector() { return *m_imageCollector; }
    Catalog &catalog() { return *m_catalog; }
    AdultListing &adultListing() { return *m_adultListing; }
    SessionJournal &sessionJournal() { return *m_journal; }
    ExportCommands &exports() { return *m_exports; }
    // Where the role objects bind the events of the controls they own.
    CommandTable &commands() { return *m_commands; }

private:
    void bindCommands();

    WindowState &m_state;
    Host &m_host;
    Config m_config;
    std::unique_ptr<CommandTable> m_commands;
    std::unique_ptr<Lifecycle> m_lifecycle;
    std::unique_ptr<Harvester> m_harvester;
    std::unique_ptr<Crawler> m_crawler;
    std::unique_ptr<SiteGenerator> m_siteGenerator;
    std::unique_ptr<Navigation> m_navigation;
    std::unique_ptr<Toolbar> m_toolbar;
    std::unique_ptr<WindowLayout> m_layout;
    std::unique_ptr<Favorites> m_favorites;
    std::unique_ptr<MenuCommands> m_menuCommands;
    std::unique_ptr<LinkWalker> m_linkWalker;
    std::unique_ptr<HomePageWalk> m_homePageWalk;
    std::unique_ptr<ChannelLists> m_channelLists;
    std::unique_ptr<PrivateZone> m_privateZone;
    std::unique_ptr<ImageCollector> m_imageCollector;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<AdultListing> m_adultListing;
    std::unique_ptr<SessionJournal> m_journal;
    std::unique_ptr<ExportCommands> m_exports;
    std::unique_ptr<HomeSiteWatch> m_homeSiteWatch;
};

}  // namespace quorvane
