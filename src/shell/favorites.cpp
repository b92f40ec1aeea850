#include "favorites.h"

#include "windowlayout.h"
#include "core/commandtable.h"
#include "core/listfile.h"
#include "core/savekeeper.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <QDir>

namespace quorvane {

namespace {
const char *const panelLists[] = {"favorit", "favorit2", "domain", "domain2"};
}  // namespace

Favorites::Favorites(WindowState &state, Host &host, const Config &config)
    : m_state(state), m_host(host), m_config(config)
{
}

bool Favorites::isPrivate() const
{
    return m_state.privateZone();
}

void Favorites::bind(CommandTable &c)
{
    c.onButtonClick(QStringLiteral("Picture9"), [this] { toggleFavorites(); });
    c.onButtonClick(QStringLiteral("Picture10"), [this] { toggleHistory(); });
    c.onMenu(QStringLiteral("history"), [this] { toggleHistory(); });
    c.onMenu(QStringLiteral("add"), [this] { addFavorite(); });

    for (ListControl *favorites : {&m_state.favorit, &m_state.favorit2}) {
        c.onListDoubleClick(favorites->name(), [this, favorites](int) {
            if (favorites->selected() < 0 || favorites->selected() >= favorites->count())
                return;
            favorites->removeAt(favorites->selected());
            save(*favorites);
        });
        c.onListMouseDown(favorites->name(), [this, favorites](int, MouseButton button) {
            if (button != MouseButton::Right || favorites->selected() < 0)
                return;
            const QString address = favorites->selectedText();
            navigateVisibleViews(m_host, address);
        });
    }
    // History, report rows: removed on double click, the file follows at shutdown.
    for (ListControl *list : {&m_state.domain, &m_state.domain2, &m_state.List3}) {
        c.onListDoubleClick(list->name(), [list](int) {
            if (list->selected() >= 0 && list->selected() < list->count())
                list->removeAt(list->selected());
        });
    }
    // History entries and found pages open in Browser 1, whichever view is shown.
    for (ListControl *list : {&m_state.domain, &m_state.domain2, &m_state.List1}) {
        c.onListMouseDown(list->name(), [this, list](int, MouseButton button) {
            if (button == MouseButton::Right && list->selected() >= 0 && list->selected() < list->count())
                navigateMainView(list->selectedText());
        });
    }
}

void Favorites::navigateMainView(const QString &address)
{
    openInView(m_host.browser(BrowserId::MainView), address);
}

void Favorites::showPanel(const QString &list)
{
    m_state.setGeometry(list, WindowLayout::PanelLeft, WindowLayout::PanelTop, WindowLayout::PanelWidth,
                        WindowLayout::PanelHeight);
    m_state.setVisible(list, true);
    for (const char *other : panelLists) {
        if (list != QLatin1String(other))
            m_state.setVisible(QString::fromLatin1(other), false);
    }
}

void Favorites::hideAll()
{
    for (const char *list : panelLists)
        m_state.setVisible(QString::fromLatin1(list), false);
}

void Favorites::toggleFavorites()
{
    const QString favorites = isPrivate() ? QStringLiteral("favorit") : QStringLiteral("favorit2");
    if (!m_state.control(favorites).visible)
        showPanel(favorites);
    else
        hideAll();
}

void Favorites::toggleHistory()
{
    const QString history = isPrivate() ? QStringLiteral("domain") : QStringLiteral("domain2");
    m_state.setVisible(isPrivate() ? QStringLiteral("domain2") : QStringLiteral("domain"), false);
    if (!m_state.control(history).visible)
        showPanel(history);
    else
        hideAll();
}

void Favorites::addFavorite()
{
    ListControl &favorites = isPrivate() ? m_state.favorit : m_state.favorit2;
    Browser *mainView = m_host.browser(BrowserId::MainView);
    if (!mainView)
        return;
    // Duplicates are kept here; loading the file at start-up drops them.
    favorites.add(mainView->locationUrl());
    save(favorites);
    m_state.setVisible(favorites.name(), false);
}

bool Favorites::save(const ListControl &favorites) const
{
    const QString file = &favorites == &m_state.favorit ? QStringLiteral("favor.prv") : QStringLiteral("favor2.txt");
    const bool saved = keepFile(m_state, m_config, QDir(m_config.programFolder).filePath(file),
                                listFileRecord(favorites.items()));
    if (!saved)
        reportSaveFailures(m_state, m_host.services());
    return saved;
}

}  // namespace quorvane
