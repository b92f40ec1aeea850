#pragma once

namespace quorvane {

class WindowState;

// The main window's arrangement in twips (1/1440 inch) inside the client
// area: design positions, and the rule by which the toolbar strip, the address
// bar and both views follow the window's size. The view converts to pixels.
class WindowLayout final {
public:
    static constexpr int DesignWidth = 7650;
    static constexpr int DesignHeight = 4650;
    // Where a favorites or history panel is shown.
    static constexpr int PanelLeft = 0;
    static constexpr int PanelTop = 1200;
    static constexpr int PanelWidth = 3800;
    static constexpr int PanelHeight = 2200;
    // Each picture button's cell in the toolbar strip: 24 pixels at 96 dpi.
    static constexpr int ButtonSize = 360;

    explicit WindowLayout(WindowState &state);

    // On every size change of the client area, and once when first shown.
    // A size that would come out negative is not applied.
    void Form_Resize(int clientWidth, int clientHeight);

private:
    void setWidth(const char *name, int width);
    void setHeight(const char *name, int height);

    WindowState &m_state;
};

}  // namespace quorvane
