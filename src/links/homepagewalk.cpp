#include "homepagewalk.h"

#include "channellists.h"
#include "core/addressgate.h"
#include "core/commandtable.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

HomePageWalk::HomePageWalk(WindowState &state, Host &host, const Config &config)
    : m_state(state), m_host(host), m_config(config)
{
    if (Transfer *inet = m_host.transfer(TransferSlot::NextHomePages)) {
        m_connections.append(QObject::connect(inet, &Transfer::finished, inet,
                                              [this](const TransferResult &r) { Inet10_StateChanged(r.state); }));
    }
}

HomePageWalk::~HomePageWalk()
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        QObject::disconnect(c);
}

void HomePageWalk::bind(CommandTable &commands)
{
    commands.onButtonUp(QStringLiteral("Picture24"), [this](MouseButton) { showNextHomePage(); });
}

QStringList HomePageWalk::splitHomePageLines(const QString &text)
{
    QStringList lines;
    const QLatin1String crlf("\r\n");
    qsizetype position = 0;
    for (;;) {
        const qsizetype end = text.indexOf(crlf, position + 1);
        if (end < 0)
            break;
        lines.append(text.mid(position, end - position));
        position = end + 2;
        if (position + 1 + 2 > text.size())
            break;
    }
    return lines;
}

void HomePageWalk::dropShownPages()
{
    while (!m_state.List5.isEmpty() && m_state.List6.contains(m_state.List5.at(0)))
        m_state.List5.removeAt(0);
}

void HomePageWalk::showFirstQueuedPage()
{
    const QString page = m_state.List5.at(0);
    if (Browser *mainView = m_host.browser(BrowserId::MainView))
        mainView->navigate(page);
    m_state.List6.add(page);
    m_state.List5.removeAt(0);
}

void HomePageWalk::showNextHomePage()
{
    dropShownPages();
    if (!m_state.List5.isEmpty()) {
        if (Browser *mainView = m_host.browser(BrowserId::MainView))
            mainView->refresh();
        showFirstQueuedPage();
        return;
    }
    // The queue ran dry: fetch the list again; the page follows when it arrives.
    if (Transfer *inet = m_host.transfer(TransferSlot::NextHomePages))
        inet->execute(m_config.homeSiteUrl(QStringLiteral("/list5.txt")), ReadSize);
}

void HomePageWalk::Inet10_StateChanged(TransferState state)
{
    Transfer *inet = m_host.transfer(TransferSlot::NextHomePages);
    if (state != TransferState::Complete || !inet)
        return;
    qsizetype skipped = 0;
    for (const QString &line : splitHomePageLines(inet->readData(ReadSize))) {
        // Downloaded: only web addresses become pages the main view opens.
        if (isWebAddress(line))
            m_state.List5.add(line);
        else
            ++skipped;
    }
    if (skipped > 0)
        m_state.setPanelText(1, skippedEntriesText(skipped));
    if (m_state.List6.isEmpty() && !m_state.List5.isEmpty()) {
        showFirstQueuedPage();
        return;
    }
    dropShownPages();
    if (!m_state.List5.isEmpty()) {
        showFirstQueuedPage();
        return;
    }
    // Every page has been shown: the next cycle starts afresh from the site's root.
    m_state.List6.clear();
    if (Browser *mainView = m_host.browser(BrowserId::MainView))
        mainView->navigate(m_config.homeSiteUrl(QStringLiteral("/")));
}

}  // namespace quorvane
