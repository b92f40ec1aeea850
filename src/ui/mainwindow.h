#pragma once

#include "host/browser.h"
#include "shell/windowlogic.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace quorvane {

class AppHost;
class ListModel;
struct ComboBox;
class WebEngineBrowser;
class WindowState;

// The main window. Every widget event becomes a WindowLogic call; every widget
// shows what the shared WindowState (and each browser's visibility) says.
// The public event methods are the same paths the widgets take, so the
// automation interface drives exactly what a person would.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(WindowState &state, WindowLogic &logic, AppHost &host, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Brings every widget in line with the state and the browsers now.
    void syncNow();

    // Each returns false when no such control (or menu entry) exists.
    bool triggerMenu(const QString &name, int index);
    bool pressButton(const QString &control, MouseButton button);
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
    void buildToolbar(QVBoxLayout *layout);
    void buildAddressRow(QVBoxLayout *layout);
    void buildBrowserArea(QVBoxLayout *layout);
    void buildListPanels();
    void buildStatusBar();
    void connectHostEvents();

    void scheduleSync();
    void syncViews();
    void syncLists();
    void syncCombos();
    void syncControls();
    void syncMenus();
    void syncPanels();
    void layoutOverlays();

    QRect toPixels(int left, int top, int width, int height) const;
    QComboBox *comboWidget(const QString &name) const;
    ComboBox *comboState(const QString &name);
    void selectListEntry(const QString &list, int index);
    void runPageCommand(WebEngineBrowser *browser, Browser::PageCommand command);
    void setMenuEntries(QMenu *menu, const QString &array, const QStringList &captions);

    WindowState &m_state;
    WindowLogic &m_logic;
    AppHost &m_host;

    QHash<QString, QAction *> m_actions;  // static menu entries by control name
    QHash<QString, bool> m_hiddenByDefault;
    QHash<QString, QMenu *> m_menus;       // menus and pop-ups by control name
    QHash<QString, QStringList> m_menuArrayCaptions;

    QWidget *m_toolbar = nullptr;
    QHash<QString, QToolButton *> m_toolButtons;
    QLabel *m_keyLabel = nullptr;
    QComboBox *m_combo1 = nullptr;
    QComboBox *m_combo2 = nullptr;
    QWidget *m_browserArea = nullptr;
    QList<ListPanel> m_listPanels;
    QHash<QString, QPushButton *> m_plainButtons;
    QList<QLabel *> m_panels;

    QString m_hoveredButton;
    bool m_panelDoubleClicked = false;
    bool m_syncScheduled = false;
    bool m_syncing = false;
    bool m_unloaded = false;
};

}  // namespace quorvane
