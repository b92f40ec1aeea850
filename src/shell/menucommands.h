#pragma once

#include "core/config.h"

#include <QString>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;
struct Config;

// The File, Edit, Translation and Help menus: opening a page or collection
// file, the page commands (save, copy, select all, print, page setup), the ten
// translation entries and the four help pages.
class MenuCommands final {
public:
    static constexpr const char *OpenFilter = "HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf";

    MenuCommands(WindowState &state, Host &host, const Config &config);

    void bind(CommandTable &commands);

    // The translation service's address for the address bar's text and a
    // language pair ("de_en"); the text is percent-encoded so that an address
    // holding "&", "#" or "?" reaches the service whole.
    QString translationUrl(const QString &languagePair) const;

private:
    void openFile(const QString &filter);
    void translate(const QString &languagePair);

    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
};

}  // namespace quorvane
