// What the desktop program adds to the design's window: the Preferences
// entry and the keyboard (shortcuts, mnemonics, tab order, accessible names).
// Kept apart from mainwindow.cpp, which mirrors the design.
#include "mainwindow.h"

#include "partnerswindow.h"
#include "picturebutton.h"
#include "preferencesdialog.h"
#include "host/desktop/desktophost.h"
#include "host/qt/keyinput.h"
#include "host/webengine/webenginebrowser.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace quorvane {

void MainWindow::buildPreferencesEntry()
{
    QMenu *edit = m_menus.value(QStringLiteral("edit"));
    if (!edit)
        return;
    edit->addSeparator();
    QAction *action = edit->addAction(QStringLiteral("Preferences..."));
    action->setObjectName(QStringLiteral("preferences"));
    action->setMenuRole(QAction::PreferencesRole);
    m_actions.insert(action->objectName(), action);
    connect(action, &QAction::triggered, this, &MainWindow::showPreferences);
}

void MainWindow::showPreferences()
{
    if (!m_preferences) {
        // The file is read afresh each time, so it shows what the last OK wrote.
        m_preferences = new PreferencesDialog(m_config.settingsFile, m_config, this);
        m_preferences->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_preferences->show();
    m_preferences->raise();
    m_preferences->activateWindow();
}

namespace {
// The shortcuts every browser has, on the menu entries that do the same.
const struct {
    const char *menu;
    const char *keys;
} kMenuShortcuts[] = {
    {"back", "Alt+Left"},      {"forward", "Alt+Right"},   {"refresh", "F5"},     {"home", "Alt+Home"},
    {"readit", "Ctrl+Shift+F"}, {"getlinks", "Ctrl+Shift+L"}, {"add", "Ctrl+D"},  {"exit", "Ctrl+Q"},
    {"open_file", "Ctrl+O"},   {"print", "Ctrl+P"},        {"preferences", "Ctrl+,"},
};

// What a screen reader says for each picture button (its tool tip is the design's text).
const struct {
    const char *button;
    const char *name;
} kButtonNames[] = {
    {"Picture2", "Back"},
    {"Picture3", "Forward"},
    {"Picture4", "Stop"},
    {"Picture5", "Home"},
    {"Picture6", "Reload"},
    {"Picture8", "Search engines"},
    {"Picture9", "Favorites"},
    {"Picture10", "History"},
    {"Picture11", "Channels"},
    {"Picture14", "Private zone"},
    {"Picture15", "Collect images automatically"},
    {"Picture19", "Mail program"},
    {"Picture20", "Address book"},
    {"Picture21", "Calculator"},
    {"Picture23", "Switch browsers"},
    {"Picture24", "Next home page"},
    {"Picture241", "Get all links"},
    {"Picture26", "Previous link"},
    {"Picture27", "Next link"},
    {"Picture28", "Clear links"},
};

// Gives each entry of a menu (or the menu bar) an underlined letter of its
// own: the first letter of its caption not taken by an earlier sibling.
void addMnemonics(const QList<QAction *> &actions)
{
    QSet<QChar> taken;
    for (QAction *action : actions) {
        const QString caption = action->text();
        if (action->isSeparator() || caption.isEmpty() || caption.contains(QLatin1Char('&')))
            continue;
        for (qsizetype i = 0; i < caption.size(); ++i) {
            const QChar letter = caption.at(i).toLower();
            if (!letter.isLetterOrNumber() || taken.contains(letter))
                continue;
            taken.insert(letter);
            action->setText(caption.left(i) + QLatin1Char('&') + caption.mid(i));
            break;
        }
        if (QMenu *menu = action->menu())
            addMnemonics(menu->actions());
    }
}
}  // namespace

void MainWindow::buildKeyboard()
{
    for (const auto &s : kMenuShortcuts) {
        QAction *action = m_actions.value(QString::fromLatin1(s.menu));
        if (!action)
            continue;
        action->setShortcut(QKeySequence(QString::fromLatin1(s.keys)));
        // Held by the window as well, so entries of hidden menus ("Add favorites") answer too.
        addAction(action);
    }
    addMnemonics(menuBar()->actions());

    auto *stop = new QAction(QStringLiteral("Stop"), this);
    stop->setObjectName(QStringLiteral("stopKey"));
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(stop, &QAction::triggered, this, [this] { pressButton(QStringLiteral("Picture4"), MouseButton::Left); });
    addAction(stop);
    auto *addressBar = new QAction(QStringLiteral("Address bar"), this);
    addressBar->setObjectName(QStringLiteral("addressKey"));
    addressBar->setShortcuts({QKeySequence(QStringLiteral("Ctrl+L")), QKeySequence(QStringLiteral("Alt+D"))});
    connect(addressBar, &QAction::triggered, this, [this] {
        // Hidden in the private zone: the guard decides what opens there.
        if (!m_combo2->isVisible())
            return;
        m_combo2->setFocus(Qt::ShortcutFocusReason);
        m_combo2->lineEdit()->selectAll();
    });
    addAction(addressBar);

    for (const auto &b : kButtonNames) {
        if (PictureButton *button = m_toolButtons.value(QString::fromLatin1(b.button))) {
            button->setAccessibleName(QString::fromLatin1(b.name));
            button->setAccessibleDescription(button->toolTip());
        }
    }
    m_combo1->setAccessibleName(QStringLiteral("Keywords"));
    m_combo2->setAccessibleName(QStringLiteral("Address"));

    // Tab: the keyword box, the address bar, then the lists in their order on screen.
    QWidget *previous = m_combo1;
    const auto chain = [&previous](QWidget *next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    chain(m_combo2);
    for (const ListPanel &panel : std::as_const(m_listPanels)) {
        if (!panel.view)
            continue;
        panel.view->setFocusPolicy(Qt::StrongFocus);
        panel.view->setAccessibleName(panel.name);
        chain(panel.view);
    }
}

bool MainWindow::pressKeys(const QString &keys)
{
    const QKeySequence chord(keys);
    if (chord.isEmpty() || chord.count() != 1)
        return false;
    activateWindow();
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != this)
        target = this;
    sendKeyChord(target, chord);
    syncNow();
    return true;
}

QString MainWindow::focusedControl() const
{
    for (const QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && w->objectName() != QLatin1String("qt_spinbox_lineedit"))
            return w->objectName();
    }
    return {};
}

void MainWindow::syncLinkHold()
{
    const int ms = m_events.holdsLinkClicks() ? QApplication::doubleClickInterval() : 0;
    for (WebEngineBrowser *browser : m_host.viewBrowsers()) {
        if (browser)
            browser->setLinkClickHold(ms);
    }
}

QJsonObject MainWindow::pictureSources() const
{
    QJsonObject sources;
    for (auto it = m_toolButtons.cbegin(); it != m_toolButtons.cend(); ++it)
        sources.insert(it.key(), it.value()->property("imageSource").toString());
    return sources;
}

QJsonObject MainWindow::preferencesDump() const
{
    return m_preferences ? m_preferences->dump() : QJsonObject();
}

QWidget *MainWindow::namedWindow(const QString &name) const
{
    if (name == QLatin1String("Preferences"))
        return m_preferences.data();
    if (name == QLatin1String("Partners"))
        return existingPartnersWindow();
    // A menu of the menu bar, laid out as it would open: its entries, mnemonics and shortcuts.
    if (name.startsWith(QLatin1String("Menu."))) {
        QMenu *menu = m_menus.value(name.mid(5));
        if (menu) {
            menu->ensurePolished();
            menu->adjustSize();
        }
        return menu;
    }
    return nullptr;
}

}  // namespace quorvane
