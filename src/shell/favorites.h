#pragma once

#include "core/config.h"

#include <QString>

namespace quorvane {

class CommandTable;
class Host;
class ListControl;
class WindowState;
struct Config;

// The favorites and history panels of both zones: showing and hiding them,
// adding, removing and opening entries, and writing the favorites files after
// every change. Also opens a found page (List1) and removes a report row (List3).
class Favorites final {
public:
    Favorites(WindowState &state, Host &host, const Config &config);

    void bind(CommandTable &commands);

    void toggleFavorites();
    void toggleHistory();
    void addFavorite();
    // Writes a favorites list to its file whole; false when it could not be written.
    bool save(const ListControl &favorites) const;

private:
    bool isPrivate() const;
    void showPanel(const QString &list);
    void hideAll();
    void navigateMainView(const QString &address);

    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
};

}  // namespace quorvane
