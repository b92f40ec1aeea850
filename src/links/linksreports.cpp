#include "linksreports.h"

#include "core/commandtable.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

const QString LinksReports::reportOpening =
    QStringLiteral("<html><title>Found links report</title><body>"
                   "<table border='0' width='100%' cellspacing='0' cellpadding='0'>");
const QString LinksReports::reportClosing = QStringLiteral("</table></body></html>");

LinksReports::LinksReports(WindowState &state, Host &host) : m_state(state), m_host(host) {}

void LinksReports::bind(CommandTable &commands)
{
    commands.onMenu(QStringLiteral("viewlinks"), [this] { viewlinks_Click(); });
    commands.onMenu(QStringLiteral("viewlinkslisting"), [this] { viewlinkslisting_Click(); });
    commands.onMenu(QStringLiteral("listlisting"), [this] { listlisting_Click(); });
    commands.onButtonClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
    commands.onButtonClick(QStringLiteral("Clearalllinks"), [this] { Clearalllinks_Click(); });
    commands.onButtonClick(QStringLiteral("closel3"), [this] { closel3_Click(); });
}

void LinksReports::viewlinks_Click()
{
    Browser *main = m_host.browser(BrowserId::MainView);
    if (!main)
        return;
    main->closeDocument();
    main->writeDocument(reportOpening);
    // The rows were escaped when they were built; they are written as they are.
    for (const QString &row : m_state.List3.items())
        main->writeDocument(row);
    main->writeDocument(reportClosing);
}

void LinksReports::viewlinkslisting_Click()
{
    if (!m_state.control(QStringLiteral("listlinks")).visible) {
        m_state.setVisible(QStringLiteral("listlinks"), true);
        m_state.setVisible(QStringLiteral("Command1"), true);
        m_state.setVisible(QStringLiteral("domain"), false);
    } else {
        m_state.setVisible(QStringLiteral("listlinks"), false);
        m_state.setVisible(QStringLiteral("Command1"), false);
    }
}

void LinksReports::listlisting_Click()
{
    for (const char *name : {"List3", "Clearalllinks", "closel3"})
        m_state.setVisible(QString::fromLatin1(name), true);
}

void LinksReports::Command1_Click()
{
    if (Browser *main = m_host.browser(BrowserId::MainView))
        main->stop();
    m_state.listlinks.clear();
    m_state.setPanelText(3, QStringLiteral("Links listing is clear ! "));
    m_state.setVisible(QStringLiteral("listlinks"), false);
    m_state.setVisible(QStringLiteral("Command1"), false);
}

void LinksReports::Clearalllinks_Click()
{
    m_state.List3.clear();
    closel3_Click();
    m_state.setPanelText(2, QStringLiteral("Buffer is clear"));
}

void LinksReports::closel3_Click()
{
    for (const char *name : {"List3", "Clearalllinks", "closel3"})
        m_state.setVisible(QString::fromLatin1(name), false);
}

}  // namespace quorvane
