#pragma once

#include "input.h"

#include <QObject>
#include <QString>

namespace quorvane {

// The window's events as the views deliver them, by control name. The Qt
// window and the automation call this; the composition root implements it by
// routing each event to the role that owns the control.
class WindowEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowEvents() override = default;

    // Shutdown, when the window closes.
    virtual void Form_Unload() = 0;

    // Each returns false when no such control or entry exists (the automation
    // interface reports that); true when the event was taken, even if its
    // command does nothing yet.
    virtual bool menuClick(const QString &name, int index = -1) = 0;
    virtual bool buttonDown(const QString &control, MouseButton button) = 0;
    virtual bool buttonUp(const QString &control, MouseButton button) = 0;
    virtual bool buttonClick(const QString &control) = 0;
    virtual bool buttonHover(const QString &control) = 0;
    virtual void backgroundHover() = 0;
    virtual bool listClick(const QString &list, int index) = 0;
    virtual bool listDoubleClick(const QString &list, int index) = 0;
    virtual bool listMouseDown(const QString &list, int index, MouseButton button) = 0;
    virtual bool keyPress(const QString &control, Key key) = 0;
    virtual void panelClick(int panel) = 0;
    virtual void panelDoubleClick(int panel) = 0;
    // The client area's new size in twips (status bar included).
    virtual void resizeClient(int widthTwips, int heightTwips) = 0;
    // Whether the views should hold a link's navigation for the double-click
    // interval, so that double-clicking a link files it instead of following it.
    virtual bool holdsLinkClicks() const { return false; }

signals:
    // The window asks to be closed (menu exit); the view closes and calls Form_Unload.
    void closeRequested();
};

}  // namespace quorvane
