#pragma once

#include "core/config.h"
#include "core/updatepacer.h"
#include "core/windowevents.h"
#include "host/browser.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QComboBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QPrinter;
class QTimer;

namespace quorvane {

class DesktopHost;
class SiteGenerator;
class PictureButton;
class ToolbarImages;
class ListModel;
class PanelLabel;
class ProgressPanel;
class SitegenWindows;
class PreferencesDialog;
struct ComboBox;
class WebEngineBrowser;
class WindowState;
class PartnersWindow;

// The main window. Every widget event becomes a WindowEvents call; every widget
// shows what the shared WindowState (and each browser's visibility) says.
// The public event methods are the same paths the widgets take, so the
// automation interface drives exactly what a person would.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(WindowState &state, WindowEvents &events, SiteGenerator &generator, const Config &config,
               DesktopHost &host, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Brings every widget in line with the state and the browsers now.
    // Changes met on their own are drawn at most once a frame, and then
    // only the widgets they touched.
    void syncNow();

    // Each returns false when no such control (or menu entry) exists.
    bool triggerMenu(const QString &name, int index);
    // Real mouse events on the picture button, as the pointer gives them; a
    // double press is press, release, double click, release.
    bool pressButton(const QString &control, MouseButton button, bool twice = false);
    bool hoverButton(const QString &control);
    void hoverBackground();
    bool clickControl(const QString &control, int index);
    bool doubleClickControl(const QString &control, int index);
    bool rightClickControl(const QString &control, int index);
    bool typeText(const QString &control, const QString &text);
    bool pressKey(const QString &control, Key key);
    void clickPanel(int panel);
    void doubleClickPanel(int panel);
    // Shows a pop-up (or hidden) menu at the pointer without waiting for it.
    void showPopupMenu(const QString &menuName);
    // Sizes the window so that its client area (status bar included) is this many twips.
    void resizeClient(int widthTwips, int heightTwips);
    // Whether the menu entry is drawn where its menu (or the menu bar) lays it
    // out: false for an entry hidden, or one the menu leaves out.
    bool menuEntryDrawn(const QString &name);
    // The generator's item list as its window shows it; empty while it is not open.
    QJsonObject itemTableDump() const;
    // The Partners window, made on first use; null (with a warning shown) when
    // its database cannot be opened.
    PartnersWindow *partnersWindow(QString *error = nullptr);
    PartnersWindow *existingPartnersWindow() const;
    // Edit > Preferences, not modal; its controls are "Preferences.NAME".
    void showPreferences();
    // The open Preferences dialog for the state dump; empty when none is open.
    QJsonObject preferencesDump() const;
    // An open window beside the main one by name ("Preferences", "Partners"),
    // or a menu of the menu bar ("Menu.nav"), or null.
    QWidget *namedWindow(const QString &name) const;
    // A key chord ("Alt+Left", "Tab") on the focused widget, shortcuts first; false if unreadable.
    bool pressKeys(const QString &keys);
    // The control name of the widget holding the keyboard focus, if any.
    QString focusedControl() const;
    // What the status bar shows: each panel's width, whether its text is cut
    // and its tool tip, the progress panel, the window's width and minimum.
    QJsonObject statusBarDump() const;
    // Each picture button's image file as read: a skin in the program folder or a shipped resource.
    QJsonObject pictureSources() const;

signals:
    // After Form_Unload, when the window has accepted its close.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct ListPanel {
        QString name;
        QListView *view = nullptr;
        ListModel *model = nullptr;
    };

    void buildMenus();
    void buildPartnersMenu();
    void showPartners();
    void addAddressToPartners();
    void addLinkToPartners();
    void addReportPagesToPartners();
    void checkAllPartners();
    void openPartnerPage(const QString &page, const QString &link);
    void buildToolbar();
    void buildAddressRow();
    void buildBrowserArea();
    void buildListPanels();
    void buildStatusBar();
    void connectHostEvents();

    // A browser event: its view may have been switched. Beside WindowState's marks.
    static constexpr unsigned ViewsChanged = 1u << 16;
    void scheduleSync(unsigned changes);
    void sync(unsigned changes);
    void syncViews();
    void syncLists();
    void syncCombos();
    void syncControls();
    void syncMenus();
    void syncPanels();
    void layoutOverlays();
    void layoutControls();
    void syncPictures();
    void syncFocus();
    void updateClientSize();

    QRect toPixels(int left, int top, int width, int height) const;
    QComboBox *comboWidget(const QString &name) const;
    ComboBox *comboState(const QString &name);
    void selectListEntry(const QString &list, int index);
    void runPageCommand(WebEngineBrowser *browser, Browser::PageCommand command);
    void setMenuEntries(QMenu *menu, const QString &array, const QStringList &captions);

    WindowState &m_state;
    WindowEvents &m_events;
    SiteGenerator &m_generator;
    const Config m_config;
    DesktopHost &m_host;

    QHash<QString, QAction *> m_actions;  // static menu entries by control name
    QHash<QString, bool> m_hiddenByDefault;
    QHash<QString, QMenu *> m_menus;       // menus and pop-ups by control name
    QHash<QString, QStringList> m_menuArrayCaptions;

    QWidget *m_toolbar = nullptr;
    QHash<QString, PictureButton *> m_toolButtons;
    std::unique_ptr<ToolbarImages> m_images;
    // Kept for the run, so that page setup carries over to printing.
    std::unique_ptr<QPrinter> m_printer;
    QLabel *m_keyLabel = nullptr;
    QComboBox *m_combo1 = nullptr;
    QComboBox *m_combo2 = nullptr;
    QList<ListPanel> m_listPanels;
    QHash<QString, QPushButton *> m_plainButtons;
    QList<PanelLabel *> m_panels;
    ProgressPanel *m_progressPanel = nullptr;

    QString m_hoveredButton;
    bool m_panelDoubleClicked = false;
    bool m_releaseEndsDoubleClick = false;
    quint64 m_focusRequestsDone = 0;
    QElapsedTimer m_syncClock;
    QTimer *m_syncTimer = nullptr;
    UpdatePacer m_pacer;
    bool m_syncing = false;
    bool m_unloaded = false;
    // The generator windows Form2 and Form3; their controls are addressed as "Form2.NAME".
    SitegenWindows *m_sitegenWindows = nullptr;
    QPointer<PartnersWindow> m_partners;

    // Additions of the desktop program beyond the design's window (mainwindowextras.cpp).
    void buildPreferencesEntry();
    void buildKeyboard();
    // The views hold a link's navigation while a double click would file it.
    void syncLinkHold();
    QPointer<PreferencesDialog> m_preferences;
};

}  // namespace quorvane
