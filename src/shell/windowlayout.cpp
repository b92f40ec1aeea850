#include "windowlayout.h"

#include "toolbar.h"
#include "core/windowstate.h"

namespace quorvane {

namespace {
struct Placement {
    const char *name;
    int left, top, width, height;
};

constexpr Placement design[] = {
    {"Picture1", 0, 0, 9735, 420},
    {"Label1", 0, 480, 615, 255},
    {"Combo1", 600, 480, 2535, 315},
    {"Combo2", 3135, 480, 5775, 315},
    {"WebBrowser1", 0, 840, 8895, 1455},
    {"WebBrowser5", 0, 840, 7695, 1695},
    {"StatusBar1", 0, 4395, 7650, 255},
};
constexpr int ViewsTop = 840;
constexpr int Gap = 30;
}  // namespace

WindowLayout::WindowLayout(WindowState &state) : m_state(state)
{
    for (const Placement &p : design)
        m_state.setGeometry(QString::fromLatin1(p.name), p.left, p.top, p.width, p.height);
    // The buttons sit side by side in the strip, in toolbar order.
    int left = 15;
    for (const PictureButtonInfo &b : Toolbar::buttons()) {
        m_state.setGeometry(QString::fromLatin1(b.name), left, 30, ButtonSize, ButtonSize);
        left += ButtonSize;
    }
}

void WindowLayout::setWidth(const char *name, int width)
{
    const QString n = QString::fromLatin1(name);
    const ControlState c = m_state.control(n);
    if (width >= 0 && width != c.width)
        m_state.setGeometry(n, c.left, c.top, width, c.height);
}

void WindowLayout::setHeight(const char *name, int height)
{
    const QString n = QString::fromLatin1(name);
    const ControlState c = m_state.control(n);
    if (height >= 0 && height != c.height)
        m_state.setGeometry(n, c.left, c.top, c.width, height);
}

void WindowLayout::Form_Resize(int w, int h)
{
    const ControlState status = m_state.control(QStringLiteral("StatusBar1"));
    // The status bar is aligned to the bottom edge at full width.
    if (w >= 0 && h - status.height >= 0)
        m_state.setGeometry(QStringLiteral("StatusBar1"), 0, h - status.height, w, status.height);
    setWidth("Picture1", w - Gap);
    setWidth("Combo2", w - 3170);
    setWidth("WebBrowser1", w - Gap);
    setHeight("WebBrowser1", h - status.height - ViewsTop - Gap);
    setWidth("WebBrowser5", w - Gap);
    setHeight("WebBrowser5", h - status.height - ViewsTop - Gap);
}

}  // namespace quorvane
