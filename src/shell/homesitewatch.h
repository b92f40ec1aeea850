#pragma once

#include "host/controls.h"

#include <QList>
#include <QSet>
#include <QMetaObject>
#include <QString>

namespace quorvane {

class Browser;
class Host;
class WindowState;
struct Config;

// The lists the home site publishes, fetched at every start.
struct HomeSiteList {
    TransferSlot slot;
    const char *path;
    int maxBytes;
};
inline constexpr HomeSiteList homeSiteLists[] = {
    {TransferSlot::PublicChannels, "/pubchannels.txt", 12000},
    {TransferSlot::PublicSearch, "/pubsearch.txt", 12000},
    {TransferSlot::Accounts, "/pass.txt", 12000},
    {TransferSlot::NextHomePages, "/list5.txt", 64000},
};

// Tells the user when the home site cannot be reached at start-up, instead
// of a blank window and empty menus: status panel 1 says so, the views show a
// short offline note with the address tried, and the lists that failed are
// fetched again until they arrive.
class HomeSiteWatch final {
public:
    static constexpr int RetryInterval = 60000;

    HomeSiteWatch(WindowState &state, Host &host, const Config &config);
    ~HomeSiteWatch();
    HomeSiteWatch(const HomeSiteWatch &) = delete;
    HomeSiteWatch &operator=(const HomeSiteWatch &) = delete;

    static QString unreachableText(const QString &homeSite);
    static QString reachedText(const QString &homeSite);
    static QString offlinePage(const QString &addressTried);

private:
    void onListFinished(const HomeSiteList &list, bool complete);
    void retry();
    void writeOfflineNote(Browser &view);

    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
    QSet<TransferSlot> m_failed;
    bool m_reported = false;
    QList<QMetaObject::Connection> m_connections;
};

}  // namespace quorvane
