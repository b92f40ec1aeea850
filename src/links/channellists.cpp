#include "channellists.h"

#include "accountlist.h"
#include "host/host.h"
#include "core/commandtable.h"
#include "core/windowstate.h"
#include "sitelist.h"
#include "visiblebrowsers.h"

namespace quorvane {

ChannelLists::ChannelLists(WindowState &state, Host &host) : m_state(state), m_host(host)
{
    const struct {
        int inet;
        void (ChannelLists::*handler)(int);
    } transfers[] = {{5, &ChannelLists::Inet5_StateChanged},
                     {6, &ChannelLists::Inet6_StateChanged},
                     {7, &ChannelLists::Inet7_StateChanged},
                     {8, &ChannelLists::Inet8_StateChanged},
                     {9, &ChannelLists::Inet9_StateChanged}};
    for (const auto &t : transfers) {
        if (Transfer *inet = m_host.transfer(t.inet)) {
            const auto handler = t.handler;
            m_connections.append(QObject::connect(inet, &Transfer::stateChanged, inet,
                                                  [this, handler](int s) { (this->*handler)(s); }));
        }
    }
    if (Timer *timer = m_host.timer(10))
        m_connections.append(QObject::connect(timer, &Timer::timeout, timer, [this] { Timer10_Timer(); }));
    if (Timer *timer = m_host.timer(11))
        m_connections.append(QObject::connect(timer, &Timer::timeout, timer, [this] { Timer11_Timer(); }));
}

ChannelLists::~ChannelLists()
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        QObject::disconnect(c);
}

void ChannelLists::bind(CommandTable &commands)
{
    commands.onMenuArray(QStringLiteral("pubch"), [this](int j) { openChannel(m_state.ara2, j); });
    commands.onMenuArray(QStringLiteral("privch"), [this](int j) { openChannel(m_state.privchann, j); });
    commands.onMenuArray(QStringLiteral("pubs"), [this](int j) { openSearchEngine(m_state.pubsearch, j); });
    commands.onMenuArray(QStringLiteral("privs"), [this](int j) { openSearchEngine(m_state.privsearch, j); });
}

void ChannelLists::removeRunTimeEntries(const QString &menu)
{
    const QStringList captions = m_state.menuArray(menu);
    if (captions.size() > 1)
        m_state.setMenuArray(menu, captions.mid(0, 1));
}

void ChannelLists::fillSiteList(int inet, const QString &menu, ListControl &addresses)
{
    Transfer *transfer = m_host.transfer(inet);
    if (!transfer)
        return;
    const QVector<SiteEntry> entries = parseSiteList(transfer->readData(ReadSize));
    // Address j + 1 belongs to menu entry j.
    addresses.add(QString());
    QStringList captions = m_state.menuArray(menu);
    for (int i = 0; i < entries.size(); ++i) {
        if (i < captions.size())
            captions[i] = entries[i].name;
        else
            captions.append(entries[i].name);
        addresses.insert(i + 1, entries[i].address);
    }
    m_state.setMenuArray(menu, captions);
}

void ChannelLists::Inet6_StateChanged(int state)
{
    if (state == Transfer::StateComplete)
        fillSiteList(6, QStringLiteral("pubch"), m_state.ara2);
    showButtonsWhenIdle();
}

void ChannelLists::Inet7_StateChanged(int state)
{
    if (state == Transfer::StateComplete)
        fillSiteList(7, QStringLiteral("pubs"), m_state.pubsearch);
    showButtonsWhenIdle();
}

void ChannelLists::showButtonsWhenIdle()
{
    const auto busy = [this](int n) {
        const Transfer *t = m_host.transfer(n);
        return t && t->stillExecuting();
    };
    // The two pop-up buttons appear once no list download is left running.
    if (!busy(5) && !busy(6) && !busy(7) && !busy(8)) {
        m_state.setVisible(QStringLiteral("Picture8"), true);
        m_state.setVisible(QStringLiteral("Picture11"), true);
    }
}

void ChannelLists::Inet5_StateChanged(int state)
{
    m_state.privchann.clear();
    if (state == Transfer::StateComplete) {
        removeRunTimeEntries(QStringLiteral("privch"));
        m_state.privchann.clear();
        fillSiteList(5, QStringLiteral("privch"), m_state.privchann);
    }
    if (m_state.privchann.count() >= 1) {
        m_state.setVisible(QStringLiteral("Picture11"), true);
        if (Timer *timer = m_host.timer(10))
            timer->setEnabled(false);
    }
}

void ChannelLists::Inet8_StateChanged(int state)
{
    removeRunTimeEntries(QStringLiteral("privs"));
    m_state.privsearch.clear();
    if (state == Transfer::StateComplete)
        fillSiteList(8, QStringLiteral("privs"), m_state.privsearch);
    if (m_state.privsearch.count() >= 1) {
        m_state.setVisible(QStringLiteral("Picture8"), true);
        if (Timer *timer = m_host.timer(11))
            timer->setEnabled(false);
    }
}

void ChannelLists::Inet9_StateChanged(int state)
{
    Transfer *inet = m_host.transfer(9);
    if (state != Transfer::StateComplete || !inet)
        return;
    for (const Account &account : parseAccountList(inet->readData(ReadSize))) {
        m_state.pass.add(account.password);
        m_state.pass_search.add(account.searchListUrl);
        m_state.pass_chann.add(account.channelListUrl);
        m_state.today.add(account.startPage);
    }
}

void ChannelLists::retry(int timerNumber, int inetNumber)
{
    if (Timer *timer = m_host.timer(timerNumber))
        timer->setEnabled(false);
    Transfer *inet = m_host.transfer(inetNumber);
    if (inet && !inet->stillExecuting() && !inet->url().isEmpty())
        inet->execute(inet->url(), ReadSize);
}

void ChannelLists::Timer10_Timer()
{
    retry(10, 5);
}

void ChannelLists::Timer11_Timer()
{
    retry(11, 8);
}

void ChannelLists::openChannel(const ListControl &addresses, int index)
{
    // No address yet (the list has not arrived): the design-time entry opens nothing.
    if (index < 0 || index + 1 >= addresses.count())
        return;
    const QString address = addresses.at(index + 1);
    const auto answer = m_host.services().messageBox(QStringLiteral("Would You like open it in a background mode?"),
                                                     QString(), WindowServices::Buttons::YesNo);
    Browser *browser = m_host.browser(answer == WindowServices::Answer::Yes ? QStringLiteral("WebBrowser5")
                                                                             : QStringLiteral("WebBrowser1"));
    if (browser)
        browser->navigate(address);
}

void ChannelLists::openSearchEngine(const ListControl &addresses, int index)
{
    if (index < 0 || index + 1 >= addresses.count())
        return;
    navigateVisibleBrowsers(m_host, addresses.at(index + 1));
}

}  // namespace quorvane
