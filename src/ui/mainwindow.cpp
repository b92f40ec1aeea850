#include "mainwindow.h"

#include "listmodel.h"
#include "panellabel.h"
#include "picturebutton.h"
#include "progresspanel.h"
#include "preferencesdialog.h"
#include "sitegenwindows.h"
#include "toolbarimages.h"
#include "core/windowstate.h"
#include "host/desktop/desktophost.h"
#include "host/qt/mouseinput.h"
#include "host/qt/qtwindowservices.h"
#include "host/webengine/webenginebrowser.h"
#include "shell/menutree.h"
#include "shell/toolbar.h"
#include "shell/windowlayout.h"
#include "sitegen/sitegenerator.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QJsonArray>
#include <QCursor>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {

struct PlainButtonInfo {
    const char *name;
    const char *caption;
    const char *list;  // the list panel it belongs to
};

constexpr PlainButtonInfo plainButtonInfos[] = {
    {"Command1", "Clear All", "listlinks"},
    {"Clearalllinks", "Clear All Links", "List3"},
    {"closel3", "Close", "List3"},
};


MouseButton toMouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Left;
    }
}

// Room the status bar leaves around each of its widgets, in pixels.
constexpr int PanelSpacing = 6;

QString arrayEntryName(const QString &array, int index)
{
    return QStringLiteral("%1(%2)").arg(array).arg(index);
}

}  // namespace

MainWindow::MainWindow(WindowState &state, WindowEvents &events, SiteGenerator &generator, const Config &config,
                       DesktopHost &host, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_events(events), m_generator(generator), m_config(config), m_host(host),
      m_pacer([this] { return m_syncClock.elapsed(); }, [this](int delayMs) { m_syncTimer->start(delayMs); },
              [this](unsigned changes) { sync(changes); })
{
    m_syncClock.start();
    m_syncTimer = new QTimer(this);
    m_syncTimer->setSingleShot(true);
    connect(m_syncTimer, &QTimer::timeout, this, [this] { m_pacer.fire(); });
    setObjectName(QStringLiteral("Form1"));
    resize(1000, 720);

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("client"));
    central->setMouseTracking(true);
    central->installEventFilter(this);
    setCentralWidget(central);
    // Controls sit where the window logic's layout puts them, in twips.
    m_images = std::make_unique<ToolbarImages>(m_config.programFolder);

    buildMenus();
    buildPartnersMenu();
    buildPreferencesEntry();
    buildToolbar();
    buildAddressRow();
    buildBrowserArea();
    buildListPanels();
    buildStatusBar();
    connectHostEvents();

    if (QtWindowServices *services = m_host.desktopServices()) {
        services->setParentWindow(this);
        services->setPopupHandler([this](const QString &menu) { showPopupMenu(menu); });
    }
    connect(&m_events, &WindowEvents::closeRequested, this, &QWidget::close, Qt::QueuedConnection);
    // The state keeps its own marks of what changed.
    m_state.setChangeListener([this] { scheduleSync(0); });
    m_sitegenWindows = new SitegenWindows(m_generator, this);
    buildKeyboard();
    syncNow();
}

MainWindow::~MainWindow()
{
    // The views go with the window; their browsers (and pages) live on until the host goes.
    m_state.setChangeListener({});
    if (QtWindowServices *services = m_host.desktopServices()) {
        services->setPopupHandler({});
        services->setParentWindow(nullptr);
    }
}

// ---- construction ----

void MainWindow::buildMenus()
{
    for (const MenuEntry &entry : menuTree()) {
        const QString name = QString::fromLatin1(entry.name);
        const QString caption = QString::fromLatin1(entry.caption);
        QMenu *parentMenu = m_menus.value(QString::fromLatin1(entry.parent));
        switch (entry.kind) {
        case MenuEntry::Kind::Menu: {
            QMenu *menu = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
            menu->setObjectName(name);
            // The tree says where a separator goes, a trailing one too.
            menu->setSeparatorsCollapsible(false);
            menu->menuAction()->setObjectName(name);
            m_menus.insert(name, menu);
            m_actions.insert(name, menu->menuAction());
            // Opening a menu is its click.
            connect(menu, &QMenu::aboutToShow, this, [this, name] {
                m_events.menuClick(name);
                syncNow();
            });
            break;
        }
        case MenuEntry::Kind::Popup: {
            auto *menu = new QMenu(caption, this);
            menu->setObjectName(name);
            m_menus.insert(name, menu);
            break;
        }
        case MenuEntry::Kind::Command: {
            if (!parentMenu)
                continue;
            QAction *action = parentMenu->addAction(caption);
            action->setObjectName(name);
            m_actions.insert(name, action);
            connect(action, &QAction::triggered, this, [this, name] {
                m_events.menuClick(name);
                syncNow();
            });
            break;
        }
        case MenuEntry::Kind::Separator: {
            if (!parentMenu)
                continue;
            QAction *action = parentMenu->addSeparator();
            action->setObjectName(name);
            m_actions.insert(name, action);
            break;
        }
        }
        m_hiddenByDefault.insert(name, entry.hidden);
    }
}

void MainWindow::buildToolbar()
{
    m_toolbar = new QWidget(centralWidget());
    m_toolbar->setObjectName(QStringLiteral("Picture1"));
    m_toolbar->setMouseTracking(true);
    m_toolbar->installEventFilter(this);
    m_toolbar->setAutoFillBackground(true);
    for (const PictureButtonInfo &info : Toolbar::buttons()) {
        const QString name = QString::fromLatin1(info.name);
        // Placed inside the strip, which starts at the client area's origin.
        auto *button = new PictureButton(name, m_toolbar);
        button->setToolTip(QString::fromLatin1(info.toolTip));
        button->setMouseTracking(true);  // hover on every move, not only on entering
        button->installEventFilter(this);
        m_toolButtons.insert(name, button);
    }
}

void MainWindow::buildAddressRow()
{
    m_keyLabel = new QLabel(QStringLiteral("Key's"), centralWidget());
    m_keyLabel->setObjectName(QStringLiteral("Label1"));

    for (QComboBox **slot : {&m_combo1, &m_combo2}) {
        auto *combo = new QComboBox(centralWidget());
        combo->setEditable(true);
        // The logic decides what enters the list, not the widget.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(20);
        combo->lineEdit()->installEventFilter(this);
        *slot = combo;
    }
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setToolTip(QStringLiteral("File keywords here and press Enter"));
    m_combo2->setObjectName(QStringLiteral("Combo2"));

    connect(m_combo1->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { m_state.typeComboText(m_state.Combo1, text); });
    connect(m_combo2->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { m_state.typeComboText(m_state.Combo2, text); });
    connect(m_combo1, &QComboBox::activated, this, [this](int index) { clickControl(QStringLiteral("Combo1"), index); });
    connect(m_combo2, &QComboBox::activated, this, [this](int index) { clickControl(QStringLiteral("Combo2"), index); });
}

void MainWindow::buildBrowserArea()
{
    // Both views share one place; the shown browser decides which is seen.
    for (WebEngineBrowser *browser : m_host.viewBrowsers()) {
        if (!browser || !browser->view())
            continue;
        browser->view()->setObjectName(browser->name());
        browser->view()->setParent(centralWidget());
    }
    // Browser 1 is shown until the logic switches. Only now that the views sit
    // in the window: showing a parentless view would open a window of its own.
    const QList<WebEngineBrowser *> browsers = m_host.viewBrowsers();
    if (std::none_of(browsers.cbegin(), browsers.cend(), [](WebEngineBrowser *b) { return b && b->isVisible(); })
        && browsers.value(0))
        browsers.value(0)->setVisible(true);
}

void MainWindow::buildListPanels()
{
    QWidget *client = centralWidget();
    for (const ListControl *list : m_state.lists()) {
        ListPanel panel;
        panel.name = list->name();
        panel.model = new ListModel(this);
        panel.view = new QListView(client);
        panel.view->setObjectName(panel.name);
        panel.view->setModel(panel.model);
        // Uniform rows let a 32,767-entry list lay out without measuring each row.
        panel.view->setUniformItemSizes(true);
        panel.view->setLayoutMode(QListView::Batched);
        panel.view->setBatchSize(500);
        panel.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        panel.view->setSelectionMode(QAbstractItemView::SingleSelection);
        panel.view->setFrameShape(QFrame::Box);
        panel.view->hide();
        panel.view->viewport()->installEventFilter(this);
        const QString name = panel.name;
        connect(panel.view, &QListView::clicked, this,
                [this, name](const QModelIndex &index) { clickControl(name, index.row()); });
        connect(panel.view, &QListView::doubleClicked, this,
                [this, name](const QModelIndex &index) { doubleClickControl(name, index.row()); });
        m_listPanels.append(panel);
    }
    for (const PlainButtonInfo &info : plainButtonInfos) {
        const QString name = QString::fromLatin1(info.name);
        auto *button = new QPushButton(QString::fromLatin1(info.caption), client);
        button->setObjectName(name);
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, name] { clickControl(name, -1); });
        m_plainButtons.insert(name, button);
    }
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int p = 1; p <= WindowState::PanelCount; ++p) {
        // Panels show addresses and link texts from pages: text, never markup.
        auto *label = new PanelLabel(bar);
        label->setObjectName(QStringLiteral("Panel%1").arg(p));
        // Panel 1 takes the room the others leave; they are as wide as their texts.
        label->setStretching(p == 1);
        // The address in panel 1 is whole in its tool tip; the counts should be read at a glance.
        label->setReadableChars(p == 1 ? 12 : 20);
        label->installEventFilter(this);
        bar->addPermanentWidget(label, p == 1 ? 1 : 0);
        m_panels.append(label);
    }
    // Beside the counts of panel 2.
    m_progressPanel = new ProgressPanel(m_state.progress, [this] {
        m_events.buttonClick(QStringLiteral("ProgressStop"));
        syncNow();
    }, bar);
    bar->insertPermanentWidget(2, m_progressPanel, 0);
}

QJsonObject MainWindow::statusBarDump() const
{
    QJsonArray panels;
    for (const PanelLabel *label : m_panels) {
        panels.append(QJsonObject{{QStringLiteral("width"), label->width()},
                                  {QStringLiteral("cut"), label->isCut()},
                                  {QStringLiteral("readable"), label->isReadable()},
                                  {QStringLiteral("toolTip"), label->shownToolTip()}});
    }
    return {{QStringLiteral("panels"), panels},
            {QStringLiteral("progress"), m_progressPanel->dump()},
            {QStringLiteral("windowWidth"), width()},
            {QStringLiteral("minimumWidth"), minimumWidth()}};
}

void MainWindow::connectHostEvents()
{
    // The logic reacts to these on its own; afterwards the window catches up
    // with a browser it switched. What the logic changed in the state (after
    // a transfer or a timer too) marks itself.
    for (Browser *browser : m_host.browsers()) {
        const auto views = [this] { scheduleSync(ViewsChanged); };
        connect(browser, &Browser::navigationCommitted, this, views);
        connect(browser, &Browser::navigateComplete, this, views);
        connect(browser, &Browser::documentComplete, this, views);
        connect(browser, &Browser::downloadComplete, this, views);
    }
    for (WebEngineBrowser *browser : m_host.viewBrowsers()) {
        if (!browser)
            continue;
        connect(browser, &WebEngineBrowser::pageCommandRequested, this,
                [this, browser](Browser::PageCommand command) { runPageCommand(browser, command); });
    }
}

// ---- events from the widgets and the automation interface ----

bool MainWindow::triggerMenu(const QString &name, int index)
{
    QAction *action = nullptr;
    if (index >= 0) {
        if (QMenu *popup = m_menus.value(popupOfMenuArray(name))) {
            const QString entry = arrayEntryName(name, index);
            for (QAction *a : popup->actions()) {
                if (a->objectName() == entry)
                    action = a;
            }
        }
    } else {
        action = m_actions.value(name);
    }
    if (!action)
        return false;
    if (action->menu()) {
        // A menu's click is its opening; trigger() would not open it.
        m_events.menuClick(name);
        syncNow();
        return true;
    }
    action->trigger();
    return true;
}

bool MainWindow::pressButton(const QString &control, MouseButton button, bool twice)
{
    PictureButton *target = m_toolButtons.value(control);
    if (!target)
        return false;
    const Qt::MouseButton qtButton = button == MouseButton::Right    ? Qt::RightButton
                                   : button == MouseButton::Middle ? Qt::MiddleButton
                                                                   : Qt::LeftButton;
    QList<QEvent::Type> events{QEvent::MouseButtonPress, QEvent::MouseButtonRelease};
    if (twice)
        events += {QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
    sendMouseEvents(target, QPointF(target->rect().center()), qtButton, events);
    return true;
}

bool MainWindow::hoverButton(const QString &control)
{
    m_hoveredButton = control;
    const quint64 before = m_state.revision();
    const bool known = m_events.buttonHover(control);
    // Runs on every mouse move over a button: the window catches up only
    // when the hover changed something.
    if (m_state.revision() != before)
        syncNow();
    return known;
}

void MainWindow::hoverBackground()
{
    m_hoveredButton.clear();
    m_events.backgroundHover();
    syncNow();
}

void MainWindow::selectListEntry(const QString &list, int index)
{
    if (ListControl *l = m_state.list(list); l && index >= 0)
        l->setSelected(index);
}

bool MainWindow::clickControl(const QString &control, int index)
{
    if (PreferencesDialog::addresses(control))
        return m_preferences && m_preferences->click(control);
    if (SitegenWindows::addresses(control)) {
        const bool known = m_sitegenWindows->click(control, index);
        syncNow();
        return known;
    }
    if (ListControl *list = m_state.list(control)) {
        if (index < 0)
            index = list->selected();
        selectListEntry(control, index);
        // Picking from a combo's list puts the entry in its text before the click.
        if (comboWidget(control) && index >= 0 && index < list->count())
            m_state.setComboText(*comboState(control), list->at(index));
        const bool known = m_events.listClick(control, index);
        syncNow();
        return known;
    }
    const bool known = m_events.buttonClick(control);
    syncNow();
    return known;
}

bool MainWindow::doubleClickControl(const QString &control, int index)
{
    if (SitegenWindows::addresses(control)) {
        const bool known = m_sitegenWindows->doubleClick(control, index);
        syncNow();
        return known;
    }
    ListControl *list = m_state.list(control);
    if (!list)
        return false;
    if (index < 0)
        index = list->selected();
    selectListEntry(control, index);
    const bool known = m_events.listDoubleClick(control, index);
    syncNow();
    return known;
}

bool MainWindow::rightClickControl(const QString &control, int index)
{
    ListControl *list = m_state.list(control);
    if (!list)
        return false;
    if (index < 0)
        index = list->selected();
    for (const ListPanel &panel : std::as_const(m_listPanels)) {
        if (panel.name != control)
            continue;
        // As with the mouse: a right press on the row, which keeps the selection.
        const QRect row = panel.view->visualRect(panel.model->index(index, 0));
        sendMouseEvents(panel.view->viewport(), QPointF(row.isValid() ? row.center() : QPoint(1, 1)), Qt::RightButton,
                        {QEvent::MouseButtonPress, QEvent::MouseButtonRelease});
        return true;
    }
    // Lists without a view of their own.
    const bool known = m_events.listMouseDown(control, index, MouseButton::Right);
    syncNow();
    return known;
}

bool MainWindow::typeText(const QString &control, const QString &text)
{
    if (PreferencesDialog::addresses(control))
        return m_preferences && m_preferences->typeText(control, text);
    if (SitegenWindows::addresses(control))
        return m_sitegenWindows->typeText(control, text);
    QComboBox *combo = comboWidget(control);
    if (!combo)
        return false;
    combo->setEditText(text);
    m_state.typeComboText(*comboState(control), text);
    syncNow();
    return true;
}

bool MainWindow::pressKey(const QString &control, Key key)
{
    if (QComboBox *combo = comboWidget(control)) {
        // The logic reads the text as typed, before anything else happens to it.
        m_state.setComboText(*comboState(control), combo->currentText());
    }
    const bool known = m_events.keyPress(control, key);
    syncNow();
    return known;
}

void MainWindow::clickPanel(int panel)
{
    m_events.panelClick(panel);
    syncNow();
}

void MainWindow::doubleClickPanel(int panel)
{
    m_events.panelDoubleClick(panel);
    syncNow();
}

void MainWindow::showPopupMenu(const QString &menuName)
{
    syncNow();
    if (QMenu *menu = m_menus.value(menuName))
        menu->popup(QCursor::pos());  // not exec(): no nested event loop
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        m_events.Form_Unload();
    }
    event->accept();
    emit closed();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();

    // Toolbar buttons: down, up, click (any mouse button), hover.
    if (auto *button = qobject_cast<PictureButton *>(watched); button && m_toolButtons.contains(button->objectName())) {
        const QString name = button->objectName();
        if (type == QEvent::MouseButtonPress) {
            m_events.buttonDown(name, toMouseButton(static_cast<QMouseEvent *>(event)->button()));
            syncNow();
        } else if (type == QEvent::MouseButtonDblClick) {
            // The second press of a double click is no new press, and its
            // release no new click: the command runs once per click.
            m_releaseEndsDoubleClick = true;
        } else if (type == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            m_events.buttonUp(name, toMouseButton(mouse->button()));
            syncNow();
            const bool click = !std::exchange(m_releaseEndsDoubleClick, false);
            if (click && button->rect().contains(mouse->position().toPoint())) {
                m_events.buttonClick(name);
                syncNow();
            }
        } else if (type == QEvent::Enter || type == QEvent::MouseMove) {
            // Every move over a button is a hover; the same one again changes nothing.
            hoverButton(name);
        }
        return false;
    }

    // The window's background: only the move off a button counts, not every pixel.
    if ((watched == m_toolbar || watched == centralWidget()) && type == QEvent::MouseMove) {
        auto *container = static_cast<QWidget *>(watched);
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        QWidget *child = container->childAt(pos);
        const bool overButton = child && m_toolButtons.contains(child->objectName());
        if (!overButton && !m_hoveredButton.isEmpty())
            hoverBackground();
        return false;
    }

    // Keys in the combos' edit fields.
    if (type == QEvent::KeyPress && (watched == m_combo1->lineEdit() || watched == m_combo2->lineEdit())) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const QString name = watched == m_combo1->lineEdit() ? QStringLiteral("Combo1") : QStringLiteral("Combo2");
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            pressKey(name, Key::Enter);
            return true;  // the combo must not act on Enter itself
        }
        if (key == Qt::Key_Delete && name == QLatin1String("Combo1"))
            pressKey(name, Key::Delete);  // the edit still deletes a character afterwards
        return false;
    }

    // Right button on a list.
    if (type == QEvent::MouseButtonPress) {
        for (const ListPanel &panel : std::as_const(m_listPanels)) {
            if (watched != panel.view->viewport())
                continue;
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::RightButton)
                return false;
            // The right button acts on the entry selected before, wherever the
            // pointer is: the view must not move the selection to the row under it.
            const int row = panel.view->indexAt(mouse->position().toPoint()).row();
            m_events.listMouseDown(panel.name, row, MouseButton::Right);
            syncNow();
            return true;
        }
    }

    // Status panels: a click, or a double click without a second click.
    if (auto *label = qobject_cast<PanelLabel *>(watched); label && m_panels.contains(label)) {
        const int panel = int(m_panels.indexOf(label)) + 1;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (type == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
            m_panelDoubleClicked = true;
            doubleClickPanel(panel);
            return true;
        }
        if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
            if (m_panelDoubleClicked)
                m_panelDoubleClicked = false;
            else if (label->rect().contains(mouse->position().toPoint()))
                clickPanel(panel);
            return true;
        }
        return false;
    }

    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    updateClientSize();
    syncNow();
}

void MainWindow::resizeClient(int widthTwips, int heightTwips)
{
    const QRect client = toPixels(0, 0, widthTwips, heightTwips);
    // What surrounds the client area: the menu bar (the status bar counts as client).
    const QSize chrome = size() - centralWidget()->size() - QSize(0, statusBar()->isVisible() ? statusBar()->height() : 0);
    resize(client.width() + chrome.width(), client.height() + chrome.height());
}

bool MainWindow::menuEntryDrawn(const QString &name)
{
    QAction *action = m_actions.value(name);
    if (!action || !action->isVisible())
        return false;
    for (const MenuEntry &entry : menuTree()) {
        if (name != QLatin1String(entry.name))
            continue;
        if (QMenu *menu = m_menus.value(QString::fromLatin1(entry.parent)))
            return !menu->actionGeometry(action).isEmpty();
        return !menuBar()->actionGeometry(action).isEmpty();
    }
    return false;
}

QJsonObject MainWindow::itemTableDump() const
{
    return m_sitegenWindows->itemTableDump();
}

void MainWindow::updateClientSize()
{
    // The status bar belongs to the client area, as the layout counts it.
    const int statusHeight = toPixels(0, 0, 0, m_state.control(QStringLiteral("StatusBar1")).height).height();
    if (statusBar()->height() != statusHeight)
        statusBar()->setFixedHeight(statusHeight);
    const QSize client = centralWidget()->size() + QSize(0, statusHeight);
    m_events.resizeClient(client.width() * 1440 / std::max(1, logicalDpiX()),
                         client.height() * 1440 / std::max(1, logicalDpiY()));
}

// ---- state binding ----

void MainWindow::scheduleSync(unsigned changes)
{
    m_pacer.mark(changes);
}

void MainWindow::syncNow()
{
    sync(m_pacer.take() | WindowState::AllChanged | ViewsChanged);
}

void MainWindow::sync(unsigned changes)
{
    if (m_syncing) {
        // A widget update fed back into the state: drawn in the next frame.
        m_pacer.mark(changes);
        return;
    }
    changes |= m_state.takeChanges();
    m_syncing = true;
    constexpr unsigned controls = WindowState::ControlsChanged;
    if ((changes & WindowState::CaptionChanged) && windowTitle() != m_state.caption())
        setWindowTitle(m_state.caption());
    if (changes & ViewsChanged)
        syncViews();
    if (changes & WindowState::CombosChanged)
        syncCombos();
    if (changes & (WindowState::ListsChanged | controls))
        syncLists();
    if (changes & controls)
        syncControls();
    if (changes & (WindowState::MenusChanged | controls))
        syncMenus();
    if (changes & WindowState::PanelsChanged)
        syncPanels();
    if (changes & WindowState::PicturesChanged)
        syncPictures();
    if (changes & (ViewsChanged | controls))
        layoutControls();
    if (changes & (WindowState::ListsChanged | controls))
        layoutOverlays();
    syncFocus();
    syncLinkHold();
    m_syncing = false;
}

void MainWindow::syncViews()
{
    for (WebEngineBrowser *browser : m_host.viewBrowsers()) {
        if (browser && browser->view() && browser->view()->isVisibleTo(this) != browser->isVisible())
            browser->view()->setVisible(browser->isVisible());
    }
}

void MainWindow::syncCombos()
{
    const struct {
        QComboBox *widget;
        const ComboBox &state;
    } combos[] = {{m_combo1, m_state.Combo1}, {m_combo2, m_state.Combo2}};
    for (const auto &c : combos) {
        const quint64 revision = c.state.list.revision();
        if (c.widget->property("listRevision").toULongLong() != revision || c.widget->count() != c.state.list.count()) {
            const QSignalBlocker blocker(c.widget);
            c.widget->clear();
            c.widget->addItems(c.state.list.items());
            c.widget->setProperty("listRevision", revision);
        }
        if (c.widget->currentIndex() != c.state.list.selected() && c.state.list.selected() < c.widget->count()) {
            const QSignalBlocker blocker(c.widget);
            c.widget->setCurrentIndex(c.state.list.selected());
        }
        if (c.widget->lineEdit()->text() != c.state.text)
            c.widget->lineEdit()->setText(c.state.text);  // setText does not emit textEdited
    }
}

void MainWindow::syncLists()
{
    for (const ListPanel &panel : std::as_const(m_listPanels)) {
        const ListControl *list = m_state.list(panel.name);
        if (!list)
            continue;
        const ControlState control = m_state.control(panel.name);
        // Hidden lists are refreshed when they appear: no copies of lists nobody sees.
        if (control.visible && (!panel.model->hasSnapshot() || panel.model->revision() != list->revision()))
            panel.model->setItems(list->items(), list->revision());
        if (panel.view->isHidden() == control.visible)
            panel.view->setVisible(control.visible);
        panel.view->setEnabled(control.enabled);
        if (!control.visible)
            continue;
        const int selected = list->selected();
        if (panel.view->currentIndex().row() != selected) {
            if (selected >= 0 && selected < panel.model->rowCount()) {
                const QModelIndex index = panel.model->index(selected);
                panel.view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
                panel.view->scrollTo(index);
            } else {
                panel.view->selectionModel()->clear();
            }
        }
        panel.view->raise();
    }
}

void MainWindow::syncControls()
{
    auto apply = [this](QWidget *widget, const QString &name) {
        const ControlState control = m_state.control(name);
        if (widget->isHidden() == control.visible)
            widget->setVisible(control.visible);
        if (widget->isEnabled() != control.enabled)
            widget->setEnabled(control.enabled);
    };
    for (auto it = m_toolButtons.cbegin(); it != m_toolButtons.cend(); ++it)
        apply(it.value(), it.key());
    for (auto it = m_plainButtons.cbegin(); it != m_plainButtons.cend(); ++it) {
        apply(it.value(), it.key());
        it.value()->raise();
    }
    apply(m_toolbar, m_toolbar->objectName());
    apply(m_keyLabel, m_keyLabel->objectName());
    apply(m_combo1, m_combo1->objectName());
    apply(m_combo2, m_combo2->objectName());
    apply(statusBar(), statusBar()->objectName());
}

void MainWindow::syncMenus()
{
    const QStringList names = m_state.controlNames();
    const QSet<QString> placed(names.cbegin(), names.cend());
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        bool visible = !m_hiddenByDefault.value(it.key());
        bool enabled = true;
        if (placed.contains(it.key())) {
            const ControlState control = m_state.control(it.key());
            visible = control.visible;
            enabled = control.enabled;
        }
        if (it.value()->isVisible() != visible)
            it.value()->setVisible(visible);
        if (it.value()->isEnabled() != enabled)
            it.value()->setEnabled(enabled);
    }
    for (const QString &array : m_state.menuArrayNames()) {
        const QStringList captions = m_state.menuArray(array);
        if (m_menuArrayCaptions.contains(array) && m_menuArrayCaptions.value(array) == captions)
            continue;
        if (QMenu *popup = m_menus.value(popupOfMenuArray(array)))
            setMenuEntries(popup, array, captions);
        m_menuArrayCaptions.insert(array, captions);
    }
}

void MainWindow::setMenuEntries(QMenu *menu, const QString &array, const QStringList &captions)
{
    for (QAction *action : menu->actions()) {
        if (action->objectName().startsWith(array + QLatin1Char('('))) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    for (int i = 0; i < int(captions.size()); ++i) {
        QAction *action = menu->addAction(captions.at(i));
        action->setObjectName(arrayEntryName(array, i));
        connect(action, &QAction::triggered, this, [this, array, i] {
            m_events.menuClick(array, i);
            syncNow();
        });
    }
}

void MainWindow::syncPanels()
{
    for (int p = 1; p <= WindowState::PanelCount; ++p) {
        PanelLabel *label = m_panels.at(p - 1);
        if (label->text() != m_state.panelText(p))
            label->setText(m_state.panelText(p));
        if (label->baseToolTip() != m_state.panelToolTip(p))
            label->setBaseToolTip(m_state.panelToolTip(p));
    }
    m_progressPanel->sync();
    // The window never gets so narrow that a panel shown cannot be read.
    int needed = 0;
    for (QWidget *widget : statusBar()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!widget->isHidden())
            needed += widget->minimumSizeHint().width() + PanelSpacing;
    }
    if (minimumWidth() != needed)
        setMinimumWidth(needed);
}

QRect MainWindow::toPixels(int left, int top, int width, int height) const
{
    // Twips are 1/1440 inch at the screen's logical resolution.
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    return QRect(left * dpiX / 1440, top * dpiY / 1440, width * dpiX / 1440, height * dpiY / 1440);
}

void MainWindow::syncFocus()
{
    if (m_state.focusRequestCount() == m_focusRequestsDone)
        return;
    m_focusRequestsDone = m_state.focusRequestCount();
    if (auto *widget = centralWidget()->findChild<QWidget *>(m_state.focusRequest()))
        widget->setFocus(Qt::OtherFocusReason);
}

void MainWindow::syncPictures()
{
    for (auto it = m_toolButtons.cbegin(); it != m_toolButtons.cend(); ++it) {
        const QString file = m_state.pictureImage(it.key());
        if (it.value()->imageName() != file) {
            it.value()->showImage(file, m_images->image(file, devicePixelRatioF()));
            it.value()->setProperty("imageSource", m_images->source(file, devicePixelRatioF()));
        }
        // A button that starts a program names the one configured or found.
        if (const QString tip = m_state.pictureToolTip(it.key()); !tip.isEmpty() && it.value()->toolTip() != tip) {
            it.value()->setToolTip(tip);
            it.value()->setAccessibleDescription(tip);
        }
    }
}

void MainWindow::layoutControls()
{
    auto place = [this](QWidget *widget, const QString &name) {
        const ControlState c = m_state.control(name);
        if (c.left < 0 || c.top < 0 || c.width < 0 || c.height < 0)
            return;
        const QRect rect = toPixels(c.left, c.top, c.width, c.height);
        if (widget->geometry() != rect)
            widget->setGeometry(rect);
    };
    place(m_toolbar, m_toolbar->objectName());
    for (auto it = m_toolButtons.cbegin(); it != m_toolButtons.cend(); ++it)
        place(it.value(), it.key());
    place(m_keyLabel, m_keyLabel->objectName());
    place(m_combo1, m_combo1->objectName());
    place(m_combo2, m_combo2->objectName());
    for (WebEngineBrowser *browser : m_host.viewBrowsers()) {
        if (browser && browser->view())
            place(browser->view(), browser->name());
    }
}

void MainWindow::layoutOverlays()
{
    QHash<QString, QRect> listRects;
    for (const ListPanel &panel : std::as_const(m_listPanels)) {
        const ControlState c = m_state.control(panel.name);
        const bool placed = c.left >= 0 && c.top >= 0 && c.width > 0 && c.height > 0;
        const QRect rect = placed ? toPixels(c.left, c.top, c.width, c.height)
                                  : toPixels(WindowLayout::PanelLeft, WindowLayout::PanelTop,
                                             WindowLayout::PanelWidth, WindowLayout::PanelHeight);
        listRects.insert(panel.name, rect);
        if (panel.view->geometry() != rect)
            panel.view->setGeometry(rect);
    }
    // Unplaced buttons sit in a row under their list.
    QHash<QString, int> nextLeft;
    for (const PlainButtonInfo &info : plainButtonInfos) {
        const QString name = QString::fromLatin1(info.name);
        const QString list = QString::fromLatin1(info.list);
        QPushButton *button = m_plainButtons.value(name);
        const ControlState c = m_state.control(name);
        QRect rect;
        if (c.left >= 0 && c.top >= 0 && c.width > 0 && c.height > 0) {
            rect = toPixels(c.left, c.top, c.width, c.height);
        } else {
            const QRect under = listRects.value(list);
            const int left = nextLeft.value(list, under.left());
            rect = QRect(QPoint(left, under.bottom() + 2), button->sizeHint());
            nextLeft.insert(list, rect.right() + 4);
        }
        if (button->geometry() != rect)
            button->setGeometry(rect);
    }
}

ComboBox *MainWindow::comboState(const QString &name)
{
    if (name == QLatin1String("Combo1"))
        return &m_state.Combo1;
    if (name == QLatin1String("Combo2"))
        return &m_state.Combo2;
    return nullptr;
}

QComboBox *MainWindow::comboWidget(const QString &name) const
{
    if (name == QLatin1String("Combo1"))
        return m_combo1;
    if (name == QLatin1String("Combo2"))
        return m_combo2;
    return nullptr;
}

// ---- page commands the browsers hand to the window ----

void MainWindow::runPageCommand(WebEngineBrowser *browser, Browser::PageCommand command)
{
    QWebEnginePage *page = browser->page();
    WindowServices &services = m_host.services();
    switch (command) {
    case Browser::PageCommand::SaveAs: {
        const QString file = services.saveFileDialog(
            QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html|Web archive (*.mht)|*.mht"));
        if (file.isEmpty())
            return;
        // A save that did not happen says so, and why.
        const QPointer<MainWindow> self(this);
        browser->savePage(file, [self, file](const QString &error) {
            if (!self || error.isEmpty())
                return;
            self->m_host.services().messageBox(
                QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(file), error),
                QStringLiteral("Warning!!!"), WindowServices::Buttons::Ok);
            self->scheduleSync(0);
        });
        return;
    }
    case Browser::PageCommand::Print: {
        if (m_host.scriptedServices()) {
            // No one to answer a print dialog in an automated run: print to the PDF file it names.
            const QString file = services.saveFileDialog(QStringLiteral("PDF file (*.pdf)|*.pdf"));
            if (!file.isEmpty() && page)
                page->printToPdf(file);
            return;
        }
        if (!m_printer)
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dialog(m_printer.get(), this);
        if (dialog.exec() == QDialog::Accepted && browser->view())
            browser->view()->print(m_printer.get());  // runs on; printFinished reports the end
        return;
    }
    case Browser::PageCommand::PageSetup: {
        if (m_host.scriptedServices())
            return;  // the defaults stand
        if (!m_printer)
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPageSetupDialog dialog(m_printer.get(), this);
        dialog.exec();
        return;
    }
    case Browser::PageCommand::Copy:
    case Browser::PageCommand::SelectAll:
        return;  // the browser runs these itself
    }
}

}  // namespace quorvane
