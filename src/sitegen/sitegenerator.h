#pragma once

#include "cardprofile.h"
#include "core/config.h"
#include "core/listcontrol.h"
#include "core/picturetarget.h"

#include <QString>

#include <functional>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;
struct Config;
struct ShopDescription;

// The site generator window Form2 ("Vendaro Wizard"): its eight fields
// Text1(0..7), its item list List1 (entry 0 the header line), its commands,
// and the card profile window Form3 it opens. Opened from the main window's
// menu entries online and wshipping, which also set the order mode.
class SiteGenerator final : public PictureTarget {
public:
    static constexpr int FieldCount = 8;
    static constexpr int CategoryField = 0;
    static constexpr int GoBackField = 1;
    static constexpr int EmailField = 5;
    static constexpr int PictureField = 6;
    static constexpr int DescriptionUrlField = 7;

    SiteGenerator(WindowState &state, Host &host, const Config &config);

    // Binds the main window's menu entries that open the window.
    void bind(CommandTable &commands);

    bool exists() const { return m_exists; }
    bool visible() const { return m_exists && m_visible; }
    // Creates the window on first use (header line, program folder, Save
    // profile disabled) and shows it; shown again it keeps everything.
    void show();
    // A picture double-clicked in the main view while the window is shown
    // fills the picture field, and the window comes forward.
    bool acceptsPictures() const override { return visible(); }
    void takePicture(const QString &address) override;
    // Counts the calls of show(), so a view brings an already shown window forward.
    quint64 showRequests() const { return m_showRequests; }
    // The window's own close control: destroys it with its fields and list.
    void close();
    // The main window's shutdown closes both generator windows.
    void closeWindows();

    QString text(int index) const;
    // false for an index outside 0..7.
    bool setText(int index, const QString &text);
    const ListControl &List1() const { return m_list; }
    bool saveProfileEnabled() const { return m_saveProfileEnabled; }
    const QString &programFolder() const { return m_programFolder; }
    CardProfile &cardProfile() { return m_card; }
    const CardProfile &cardProfile() const { return m_card; }

    void Command3_Click();          // Add
    void List1_Click(int index);    // select item
    void List1_DblClick(int index); // remove item
    void Command8_Click();          // New
    void Command7_Click();          // Get it
    void Command5_Click();          // Save profile
    void Command6_Click();          // Open profile
    void Command1_Click();          // Generate
    void Command4_Click();          // Preview
    void Command2_Click();          // Action

    // Events by control name, for the views and the automation interface:
    // Command1..Command8 (a disabled Save profile ignores the click) and List1.
    // Each returns false when the window does not exist or has no such control.
    bool click(const QString &control, int index = -1);
    bool doubleClick(const QString &control, int index);

    // The shop as Generate and Save profile see it now.
    ShopDescription description();

    // Called after every change a view shows (either window).
    void setChangeListener(std::function<void()> listener);

private:
    void reset();
    void changed() const;
    void warn(const QString &text);

    WindowState &m_state;
    Host &m_host;
    QString m_programFolder;
    bool m_exists = false;
    bool m_visible = false;
    bool m_saveProfileEnabled = false;
    quint64 m_showRequests = 0;
    QString m_fields[FieldCount];
    ListControl m_list;
    CardProfile m_card;
    std::function<void()> m_listener;
};

}  // namespace quorvane
