#pragma once

#include "input.h"

#include <QHash>
#include <QString>

#include <functional>
#include <stdexcept>
#include <string>

namespace quorvane {

// The handlers of the window's controls by control name. Each role object
// binds the events it owns; the composition root dispatches through the
// table. A control event has one owner: binding it twice is a wiring mistake,
// refused with std::logic_error rather than silently replacing the first.
class CommandTable final {
public:
    using Action = std::function<void()>;
    using IndexAction = std::function<void(int index)>;
    using ButtonAction = std::function<void(MouseButton button)>;
    using ListButtonAction = std::function<void(int index, MouseButton button)>;
    using KeyAction = std::function<void(Key key)>;

    void onMenu(const QString &name, Action action)
    {
        bind(m_menus, name, [a = std::move(action)](int) { a(); }, "menu");
    }
    // A run-time menu array: the action gets the entry's index.
    void onMenuArray(const QString &name, IndexAction action) { bind(m_menus, name, std::move(action), "menu"); }
    void onButtonDown(const QString &control, ButtonAction action) { bind(m_buttonDown, control, std::move(action), "button down"); }
    void onButtonUp(const QString &control, ButtonAction action) { bind(m_buttonUp, control, std::move(action), "button up"); }
    void onButtonClick(const QString &control, Action action) { bind(m_buttonClick, control, std::move(action), "click"); }
    void onButtonHover(const QString &control, Action action) { bind(m_hover, control, std::move(action), "hover"); }
    void onBackgroundHover(Action action)
    {
        if (m_background)
            throw std::logic_error("background hover bound twice");
        m_background = std::move(action);
    }
    void onListClick(const QString &list, IndexAction action) { bind(m_listClick, list, std::move(action), "list click"); }
    void onListDoubleClick(const QString &list, IndexAction action) { bind(m_listDoubleClick, list, std::move(action), "list double click"); }
    void onListMouseDown(const QString &list, ListButtonAction action) { bind(m_listMouseDown, list, std::move(action), "list mouse down"); }
    void onKey(const QString &control, KeyAction action) { bind(m_keys, control, std::move(action), "key"); }
    void onPanelClick(int panel, Action action) { bind(m_panelClick, QString::number(panel), std::move(action), "panel click"); }
    void onPanelDoubleClick(int panel, Action action) { bind(m_panelDoubleClick, QString::number(panel), std::move(action), "panel double click"); }

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
    bool panelClick(int p) const { return run(m_panelClick, QString::number(p)); }
    bool panelDoubleClick(int p) const { return run(m_panelDoubleClick, QString::number(p)); }

private:
    template <typename Map, typename Handler>
    static void bind(Map &map, const QString &control, Handler &&handler, const char *event)
    {
        if (map.contains(control))
            throw std::logic_error(std::string(event) + " of " + control.toStdString() + " bound twice");
        map.insert(control, std::forward<Handler>(handler));
    }

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
    QHash<QString, Action> m_panelClick, m_panelDoubleClick;
};

}  // namespace quorvane
