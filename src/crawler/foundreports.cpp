#include "foundreports.h"

#include "core/collectionfile.h"
#include "core/commandtable.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

FoundReports::FoundReports(WindowState &state, Host &host, std::function<void()> readNextQueuedPage)
    : m_state(state), m_host(host), m_readNextQueuedPage(std::move(readNextQueuedPage))
{
}

void FoundReports::bind(CommandTable &commands)
{
    commands.onMenu(QStringLiteral("viewreport"), [this] { viewreport_Click(); });
    commands.onMenu(QStringLiteral("savereport"), [this] { savereport_Click(); });
}

void FoundReports::viewreport_Click()
{
    const QString links = QStringLiteral("listlinks");
    const QString clearAll = QStringLiteral("Command1");
    // While the question is up the user sees the links list if it was hidden.
    const bool show = !m_state.control(links).visible;
    m_state.setVisible(links, show);
    m_state.setVisible(clearAll, show);
    const WindowServices::Answer answer = m_host.services().messageBox(
        QStringLiteral("Would You like collect images ?"), QStringLiteral("Question???"), WindowServices::Buttons::YesNo);
    if (answer == WindowServices::Answer::Yes)
        m_state.setCollectImages(true);
    m_state.setVisible(links, false);
    m_state.setVisible(clearAll, false);
    if (m_state.listlinks.isEmpty()) {
        m_host.services().messageBox(QStringLiteral("Get links ,Please"), QString(), WindowServices::Buttons::Ok);
        return;
    }
    const QStringList addresses = m_state.listlinks.items();
    for (const QString &address : addresses)
        m_state.List4.add(address);
    m_state.listlinks.clear();
    m_state.List3.clear();
    m_readNextQueuedPage();
}

QByteArray FoundReports::reportFile(const QStringList &rows)
{
    QString text = QStringLiteral("<html>\r\n\r\n<title>Report</title><body>");
    for (const QString &row : rows)
        text += row;
    text += QStringLiteral("</body>\r\n</html>\r\n");

    QByteArray out;
    out.reserve(text.size());
    const QList<uint> codes = text.toUcs4();
    for (const uint code : codes) {
        if (code < 0x80)
            out.append(char(code));
        else
            out.append("&#" + QByteArray::number(code) + ';');
    }
    return out;
}

void FoundReports::savereport_Click()
{
    saveCollectionFile(m_host.services(), m_state.privateZone(), reportFile(m_state.List3.items()));
}

}  // namespace quorvane
