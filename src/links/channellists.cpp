#include "channellists.h"

#include "accountlist.h"
#include "sitelist.h"
#include "core/addressgate.h"
#include "core/commandtable.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

QString skippedEntriesText(qsizetype count)
{
    return QStringLiteral("Skipped %1 downloaded entries that are not web addresses").arg(count);
}

ChannelLists::ChannelLists(WindowState &state, Host &host) : m_state(state), m_host(host)
{
    const struct {
        TransferSlot slot;
        void (ChannelLists::*handler)(TransferState);
    } transfers[] = {{TransferSlot::PrivateChannels, &ChannelLists::Inet5_StateChanged},
                     {TransferSlot::PublicChannels, &ChannelLists::Inet6_StateChanged},
                     {TransferSlot::PublicSearch, &ChannelLists::Inet7_StateChanged},
                     {TransferSlot::PrivateSearch, &ChannelLists::Inet8_StateChanged},
                     {TransferSlot::Accounts, &ChannelLists::Inet9_StateChanged}};
    for (const auto &t : transfers) {
        if (Transfer *inet = m_host.transfer(t.slot)) {
            const auto handler = t.handler;
            m_connections.append(QObject::connect(inet, &Transfer::finished, inet, [this, handler](const TransferResult &r) {
                (this->*handler)(r.state);
            }));
        }
    }
    if (Timer *timer = m_host.timer(TimerId::PrivateChannelsRetry))
        m_connections.append(QObject::connect(timer, &Timer::timeout, timer, [this] { Timer10_Timer(); }));
    if (Timer *timer = m_host.timer(TimerId::PrivateSearchRetry))
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

void ChannelLists::fillSiteList(TransferSlot slot, const QString &menu, ListControl &addresses)
{
    Transfer *transfer = m_host.transfer(slot);
    if (!transfer)
        return;
    QVector<SiteEntry> entries = parseSiteList(transfer->readData(ReadSize));
    // A downloaded list is no more trusted than a page: an entry that is no
    // web address would open a script or a local file from a menu.
    const qsizetype listed = entries.size();
    entries.removeIf([](const SiteEntry &entry) { return !isWebAddress(entry.address); });
    if (entries.size() < listed)
        m_state.setPanelText(1, skippedEntriesText(listed - entries.size()));
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

void ChannelLists::Inet6_StateChanged(TransferState state)
{
    if (state == TransferState::Complete)
        fillSiteList(TransferSlot::PublicChannels, QStringLiteral("pubch"), m_state.ara2);
    showButtonsWhenIdle();
}

void ChannelLists::Inet7_StateChanged(TransferState state)
{
    if (state == TransferState::Complete)
        fillSiteList(TransferSlot::PublicSearch, QStringLiteral("pubs"), m_state.pubsearch);
    showButtonsWhenIdle();
}

void ChannelLists::showButtonsWhenIdle()
{
    const auto busy = [this](TransferSlot slot) {
        const Transfer *t = m_host.transfer(slot);
        return t && t->stillExecuting();
    };
    // The two pop-up buttons appear once no list download is left running.
    if (!busy(TransferSlot::PrivateChannels) && !busy(TransferSlot::PublicChannels)
        && !busy(TransferSlot::PublicSearch) && !busy(TransferSlot::PrivateSearch)) {
        m_state.setVisible(QStringLiteral("Picture8"), true);
        m_state.setVisible(QStringLiteral("Picture11"), true);
    }
}

void ChannelLists::Inet5_StateChanged(TransferState state)
{
    m_state.privchann.clear();
    if (state == TransferState::Complete) {
        removeRunTimeEntries(QStringLiteral("privch"));
        m_state.privchann.clear();
        fillSiteList(TransferSlot::PrivateChannels, QStringLiteral("privch"), m_state.privchann);
    }
    if (m_state.privchann.count() >= 1) {
        m_state.setVisible(QStringLiteral("Picture11"), true);
        if (Timer *timer = m_host.timer(TimerId::PrivateChannelsRetry))
            timer->setEnabled(false);
    }
}

void ChannelLists::Inet8_StateChanged(TransferState state)
{
    removeRunTimeEntries(QStringLiteral("privs"));
    m_state.privsearch.clear();
    if (state == TransferState::Complete)
        fillSiteList(TransferSlot::PrivateSearch, QStringLiteral("privs"), m_state.privsearch);
    if (m_state.privsearch.count() >= 1) {
        m_state.setVisible(QStringLiteral("Picture8"), true);
        if (Timer *timer = m_host.timer(TimerId::PrivateSearchRetry))
            timer->setEnabled(false);
    }
}

void ChannelLists::Inet9_StateChanged(TransferState state)
{
    Transfer *inet = m_host.transfer(TransferSlot::Accounts);
    if (state != TransferState::Complete || !inet)
        return;
    for (const Account &account : parseAccountList(inet->readData(ReadSize))) {
        m_state.pass.add(account.password);
        m_state.pass_search.add(account.searchListUrl);
        m_state.pass_chann.add(account.channelListUrl);
        m_state.today.add(account.startPage);
    }
}

void ChannelLists::retry(TimerId timerId, TransferSlot slot)
{
    if (Timer *timer = m_host.timer(timerId))
        timer->setEnabled(false);
    Transfer *inet = m_host.transfer(slot);
    if (inet && !inet->stillExecuting() && !inet->url().isEmpty())
        inet->execute(inet->url(), ReadSize);
}

void ChannelLists::Timer10_Timer()
{
    retry(TimerId::PrivateChannelsRetry, TransferSlot::PrivateChannels);
}

void ChannelLists::Timer11_Timer()
{
    retry(TimerId::PrivateSearchRetry, TransferSlot::PrivateSearch);
}

void ChannelLists::openChannel(const ListControl &addresses, int index)
{
    // No address yet (the list has not arrived): the design-time entry opens nothing.
    if (index < 0 || index + 1 >= addresses.count())
        return;
    const QString address = addresses.at(index + 1);
    const auto answer = m_host.services().messageBox(QStringLiteral("Would You like open it in a background mode?"),
                                                     QString(), WindowServices::Buttons::YesNo);
    openInView(m_host.browser(answer == WindowServices::Answer::Yes ? BrowserId::SecondView : BrowserId::MainView),
               address);
}

void ChannelLists::openSearchEngine(const ListControl &addresses, int index)
{
    if (index < 0 || index + 1 >= addresses.count())
        return;
    navigateVisibleViews(m_host, addresses.at(index + 1));
}

}  // namespace quorvane
