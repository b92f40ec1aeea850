// The Partners menu of the main window and the window it opens.
#include "mainwindow.h"

#include "partnerswindow.h"

#include "core/windowstate.h"
#include "host/desktop/desktophost.h"
#include "host/webengine/webenginebrowser.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QMenuBar>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace quorvane {

namespace {

QString highlightScript()
{
    QFile file(QStringLiteral(":/partners/partnerhighlight.js"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

void MainWindow::buildPartnersMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("Partners"));
    menu->setObjectName(QStringLiteral("partners"));
    menu->menuAction()->setObjectName(QStringLiteral("partners"));
    const struct {
        const char *name;
        const char *caption;
        void (MainWindow::*run)();
    } entries[] = {
        {"partnerswindow", "Partners window", &MainWindow::showPartners},
        {"addpartner", "Add to partners", &MainWindow::addAddressToPartners},
        {"addlinkpartner", "Add selected link to partners", &MainWindow::addLinkToPartners},
        {"addreportpartners", "Add report pages to partners", &MainWindow::addReportPagesToPartners},
        {"checkpartners", "Check all partners", &MainWindow::checkAllPartners},
    };
    for (const auto &e : entries) {
        QAction *action = menu->addAction(QLatin1String(e.caption));
        action->setObjectName(QLatin1String(e.name));
        connect(action, &QAction::triggered, this, e.run);
        m_actions.insert(QLatin1String(e.name), action);
    }
}

PartnersWindow *MainWindow::existingPartnersWindow() const
{
    return m_partners;
}

PartnersWindow *MainWindow::partnersWindow(QString *error)
{
    if (m_partners)
        return m_partners;
    QString why;
    m_partners = PartnersWindow::create(
        m_config.programFolder, m_config.effectiveUserAgent(), m_host,
        [this](const QString &page, const QString &link) { openPartnerPage(page, link); }, this, &why);
    if (!m_partners) {
        m_host.services().messageBox(QStringLiteral("The partner list cannot be opened: %1").arg(why),
                                     QStringLiteral("Warning!!!"), WindowServices::Buttons::Ok);
        if (error)
            *error = why;
    }
    return m_partners;
}

void MainWindow::showPartners()
{
    if (PartnersWindow *window = partnersWindow()) {
        window->show();
        window->raise();
        window->activateWindow();
    }
}

void MainWindow::addAddressToPartners()
{
    if (PartnersWindow *window = partnersWindow()) {
        window->addPartner(m_state.Combo2.text);
        window->show();
    }
}

void MainWindow::addLinkToPartners()
{
    const QString link = m_state.listlinks.selectedText();
    if (link.isEmpty())
        return;
    if (PartnersWindow *window = partnersWindow()) {
        window->addPartner(link);
        window->show();
    }
}

// The pages the report rows were made from: the address of each title row.
void MainWindow::addReportPagesToPartners()
{
    static const QString titleRow =
        QStringLiteral("<tr><td width='100%' bgcolor='#FFFF00'><strong><font face='Arial'><a href='");
    QStringList pages;
    for (const QString &row : m_state.List3.items()) {
        if (!row.startsWith(titleRow))
            continue;
        const qsizetype end = row.indexOf(QLatin1String("'>"), titleRow.size());
        if (end > titleRow.size())
            pages.append(row.mid(titleRow.size(), end - titleRow.size()));
    }
    pages.removeDuplicates();
    PartnersWindow *window = pages.isEmpty() ? nullptr : partnersWindow();
    if (!window)
        return;
    window->addPartners(pages);
    window->show();
}

void MainWindow::checkAllPartners()
{
    if (PartnersWindow *window = partnersWindow()) {
        window->show();
        window->checkAll();
    }
}

void MainWindow::openPartnerPage(const QString &page, const QString &link)
{
    Browser *view = m_host.browser(BrowserId::MainView);
    if (!view)
        return;
    view->navigate(page);
    WebEngineBrowser *web = m_host.webBrowser(BrowserId::MainView);
    if (!web || link.isEmpty() || !web->page())
        return;
    QWebEnginePage *engine = web->page();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(engine, &QWebEnginePage::loadFinished, this, [engine, link, connection](bool) {
        QObject::disconnect(*connection);
        const QString data = QString::fromUtf8(QJsonDocument(QJsonArray{link}).toJson(QJsonDocument::Compact));
        // The script is a function; its argument is the JSON array's only element.
        engine->runJavaScript(QStringLiteral("(") + highlightScript() + QStringLiteral(").apply(null, ") + data
                                  + QStringLiteral(")"),
                              QWebEngineScript::ApplicationWorld);
    });
}

}  // namespace quorvane
