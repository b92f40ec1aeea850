#pragma once

#include "input.h"

#include <QHash>
#include <QString>

#include <functional>

namespace quorvane {

// The handlers of the window's controls by control name. Each role object
// binds the events it owns; WindowLogic dispatches through the table.
class CommandTable final {
public:
    using Action = std::function<void()>;
    using IndexAction = std::function<void(int index)>;
    using ButtonAction = std::function<void(MouseButton button)>;
    using ListButtonAction = std::function<void(int index, MouseButton button)>;
    using KeyAction = std::function<void(Key key)>;

    void onMenu(const QString &name, Action action) { m_menus.insert(name, [a = std::move(action)](int) { a(); }); }
    // A run-time menu array: the action gets the entry's index.
    void onMenuArray(const QString &name, IndexAction action) { m_menus.insert(name, std::move(action)); }
    void onButtonDown(const QString &control, ButtonAction action) { m_buttonDown.insert(control, std::move(action)); }
    void onButtonUp(const QString &control, ButtonAction action) { m_buttonUp.insert(control, std::move(action)); }
    void onButtonClick(const QString &control, Action action) { m_buttonClick.insert(control, std::move(action)); }
    void onButtonHover(const QString &control, Action action) { m_hover.insert(control, std::move(action)); }
    void onBackgroundHover(Action action) { m_background = std::move(action); }
    void onListClick(const QString &list, IndexAction action) { m_listClick.insert(list, std::move(action)); }
    void onListDoubleClick(const QString &list, IndexAction action) { m_listDoubleClick.insert(list, std::move(action)); }
    void onListMouseDown(const QString &list, ListButtonAction action) { m_listMouseDown.insert(list, std::move(action)); }
    void onKey(const QString &control, KeyAction action) { m_keys.insert(control, std::move(action)); }
    void onPanelClick(int panel, Action action) { m_panelClick.insert(panel, std::move(action)); }
    void onPanelDoubleClick(int panel, Action action) { m_panelDoubleClick.insert(panel, std::move(action)); }

    // Each runs the bound handler, if any, and says whether one was bound.
    bool menu(const QString &name, int index) const { return run(m_menus, name, index); }
    bool buttonDown(const QString &c, MouseButton b) const { return run(m_buttonDown, c, b); }
    bool buttonUp(const QString &c, MouseButton b) const { return run(m_buttonUp, c, b); }
    bool buttonClick(const QString &c) const { return run(m_buttonClick, c); }
    bool buttonHover(const QString &c) const { return run(m_hover, c); }
    void backgroundHover() const
    {
        if (m_background)
            m_background();
    }
    bool listClick(const QString &l, int i) const { return run(m_listClick, l, i); }
    bool listDoubleClick(const QString &l, int i) const { return run(m_listDoubleClick, l, i); }
    bool listMouseDown(const QString &l, int i, MouseButton b) const { return run(m_listMouseDown, l, i, b); }
    bool key(const QString &c, Key k) const { return run(m_keys, c, k); }
    bool panelClick(int p) const { return run(m_panelClick, p); }
    bool panelDoubleClick(int p) const { return run(m_panelDoubleClick, p); }

private:
    template <typename Map, typename Key, typename... Args>
    static bool run(const Map &map, const Key &key, Args... args)
    {
        const auto it = map.constFind(key);
        if (it == map.cend())
            return false;
        it.value()(args...);
        return true;
    }

    QHash<QString, IndexAction> m_menus;
    QHash<QString, ButtonAction> m_buttonDown, m_buttonUp;
    QHash<QString, Action> m_buttonClick, m_hover;
    Action m_background;
    QHash<QString, IndexAction> m_listClick, m_listDoubleClick;
    QHash<QString, ListButtonAction> m_listMouseDown;
    QHash<QString, KeyAction> m_keys;
    QHash<int, Action> m_panelClick, m_panelDoubleClick;
};

}  // namespace quorvane
