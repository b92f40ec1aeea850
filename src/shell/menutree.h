#pragma once

#include <QString>
#include <QVector>

namespace quorvane {

// One control of the main window's menu tree, in display order.
struct MenuEntry {
    enum class Kind { Menu, Command, Separator, Popup };
    const char *name;      // control name: "file", "open_file", "www", "pub_search"
    const char *caption;   // exact caption; "-" for separators
    const char *parent;    // name of the menu holding it; "" for the menu bar and pop-ups
    Kind kind;
    bool hidden = false;   // present but not shown ("search", "chann2", the pop-ups)
};

// The whole tree: nine visible menus, one hidden menu and four pop-up menus,
// the pop-ups last. Run-time arrays (pubs, pubch, privs, privch) live in the
// window state; their design-time entry 0 is not listed here.
const QVector<MenuEntry> &menuTree();

// The pop-up menu that holds a run-time menu array ("pubch" -> "pub_chann").
QString popupOfMenuArray(const QString &array);

}  // namespace quorvane
