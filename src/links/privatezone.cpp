#include "privatezone.h"

#include "channellists.h"
#include "core/addressgate.h"
#include "core/commandtable.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

PrivateZone::PrivateZone(WindowState &state, Host &host) : m_state(state), m_host(host) {}

void PrivateZone::bind(CommandTable &commands)
{
    commands.onButtonClick(QStringLiteral("Picture14"), [this] { toggleZone(); });
    commands.onMenu(QStringLiteral("privatte"), [this] { toggleZone(); });
    commands.onKey(QStringLiteral("Combo2"), [this](Key key) {
        if (key == Key::Enter)
            addressEntered();
    });
    commands.onListClick(QStringLiteral("Combo2"), [this](int index) { addressChosen(index); });
}

void PrivateZone::showAddressBarAndButtons(bool shown)
{
    for (const char *name : {"Combo2", "Picture11", "Picture8"})
        m_state.setVisible(QString::fromLatin1(name), shown);
}

void PrivateZone::toggleZone()
{
    showAddressBarAndButtons(false);
    if (m_state.privateZone())
        logOut();
    else
        logIn();
    m_state.notify();
}

void PrivateZone::logOut()
{
    if (m_loggedOut)
        m_loggedOut();
    m_state.setPrivateZone(false);
    if (Browser *mainView = m_host.browser(BrowserId::MainView)) {
        mainView->closeDocument();
        mainView->writeDocument(QString());
    }
    // Save image buf stays on: outside the zone it saves with the HTML filter.
    m_state.setEnabled(QStringLiteral("sreport"), true);
    m_state.setKeepPrivateRecord(false);
    m_state.setComboText(m_state.Combo2, QString());
    showAddressBarAndButtons(true);
}

void PrivateZone::logIn()
{
    WindowServices &services = m_host.services();
    // Masked, and kept in this scope only: the password goes to no file, text or log.
    const QString password = services
                                 .inputBox(QStringLiteral("Your password,please?"),
                                           QStringLiteral("Log in to private area"), true)
                                 .value_or(QString());
    const int k = m_state.pass.indexOf(password);
    if (k < 0) {
        services.messageBox(QStringLiteral(" Sorry, Your password is wrong! Try again ,please ! "), QString(),
                            WindowServices::Buttons::Ok);
        showAddressBarAndButtons(true);
        return;
    }
    for (TimerId retry : {TimerId::PrivateSearchRetry, TimerId::PrivateChannelsRetry}) {
        if (Timer *timer = m_host.timer(retry))
            timer->setEnabled(true);
    }
    if (Transfer *inet8 = m_host.transfer(TransferSlot::PrivateSearch))
        inet8->execute(m_state.pass_search.at(k), ChannelLists::ReadSize);
    // The start page comes from a downloaded list: only a web address opens.
    if (const QString &start = m_state.today.at(k); isWebAddress(start)) {
        if (Browser *mainView = m_host.browser(BrowserId::MainView))
            mainView->navigate(start);
    } else {
        m_state.setPanelText(1, skippedEntriesText(1));
    }
    if (Transfer *inet5 = m_host.transfer(TransferSlot::PrivateChannels))
        inet5->execute(m_state.pass_chann.at(k), ChannelLists::ReadSize);

    m_state.setPrivateZone(true);
    m_state.setEnabled(QStringLiteral("sreport"), true);
    m_state.setPanelText(2, QStringLiteral("Private zone "));
    const bool keep = services.messageBox(QStringLiteral("Would You like keep a record ?"), QString(),
                                          WindowServices::Buttons::YesNo)
                   == WindowServices::Answer::Yes;
    m_state.setKeepPrivateRecord(keep);
    m_state.setPanelText(2, keep ? QStringLiteral("Your tracking will keeped !!! ")
                                 : QStringLiteral("Your tracking will not keeped !!! "));
    // The address bar stays hidden in the private zone; the buttons return with the private lists.
}

void PrivateZone::addressEntered()
{
    ListControl &recent = m_state.Combo2.list;
    if (recent.count() == RecentAddresses)
        recent.removeAt(0);
    if (!recent.contains(m_state.Combo2.text))
        recent.add(m_state.Combo2.text);
    openAddress();
}

void PrivateZone::addressChosen(int index)
{
    if (index < 0 || index >= m_state.Combo2.list.count())
        return;
    m_state.setComboText(m_state.Combo2, m_state.Combo2.list.at(index));
    openAddress();
}

void PrivateZone::openAddress()
{
    const QString address = m_state.Combo2.text;
    if (!m_state.privateZone()) {
        const QStringList domains = m_state.domain.items();
        for (const QString &domain : domains) {
            // A first run leaves an empty entry in the list; it names no site.
            if (domain.isEmpty() || !address.contains(domain, Qt::CaseInsensitive))
                continue;
            m_host.services().messageBox(QStringLiteral(" Sorry! You have no right to see it!!!"), QString(),
                                         WindowServices::Buttons::Ok);
            QStringList kept = m_state.listlinks.items();
            kept.removeIf([&domain](const QString &link) { return link.contains(domain, Qt::CaseInsensitive); });
            if (kept.size() != m_state.listlinks.count())
                m_state.listlinks.setItems(kept);
            toggleZone();
            return;
        }
    }
    if (!isOpenableAddress(address)) {
        m_state.setPanelText(1, QStringLiteral("Only web addresses and local files open here"));
        return;
    }
    navigateVisibleViews(m_host, address);
}

}  // namespace quorvane
