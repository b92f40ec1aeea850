// What the desktop program adds to the design's window: the Preferences
// entry. Kept apart from mainwindow.cpp, which mirrors the design.
#include "mainwindow.h"

#include "preferencesdialog.h"

#include <QAction>
#include <QMenu>

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

QJsonObject MainWindow::preferencesDump() const
{
    return m_preferences ? m_preferences->dump() : QJsonObject();
}

}  // namespace quorvane
