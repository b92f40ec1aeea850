#pragma once

#include "host/controls.h"
#include "host/transfer.h"

#include <QList>
#include <QMetaObject>
#include <QString>

namespace quorvane {

class CommandTable;
class Host;
class ListControl;
class WindowState;

// The channel and search-engine lists of the home site as run-time menus:
// public ones fetched at start-up (Inet6, Inet7), private ones after a login
// (Inet5, Inet8, each retried once by Timer10 and Timer11), and the account
// list (Inet9) that the login reads.
// The status text for downloaded list entries left out by the address gate.
QString skippedEntriesText(qsizetype count);

class ChannelLists final {
public:
    static constexpr int ReadSize = 12000;

    ChannelLists(WindowState &state, Host &host);
    ~ChannelLists();
    ChannelLists(const ChannelLists &) = delete;
    ChannelLists &operator=(const ChannelLists &) = delete;

    void bind(CommandTable &commands);

    void Inet5_StateChanged(TransferState state);  // private channels
    void Inet6_StateChanged(TransferState state);  // public channels
    void Inet7_StateChanged(TransferState state);  // public search engines
    void Inet8_StateChanged(TransferState state);  // private search engines
    void Inet9_StateChanged(TransferState state);  // accounts
    void Timer10_Timer();
    void Timer11_Timer();

    // Menu entry index of a channel menu (pubch with ara2, privch with privchann).
    void openChannel(const ListControl &addresses, int index);
    // Menu entry index of a search-engine menu (pubs with pubsearch, privs with privsearch).
    void openSearchEngine(const ListControl &addresses, int index);

private:
    // Fills menu and addresses from the completed response of transfer number inet.
    void fillSiteList(TransferSlot slot, const QString &menu, ListControl &addresses);
    // Drops the run-time entries of a menu; entry 0 stays, caption and all.
    void removeRunTimeEntries(const QString &menu);
    void retry(TimerId timer, TransferSlot slot);
    // The pop-up buttons appear once no list download is left running.
    void showButtonsWhenIdle();

    WindowState &m_state;
    Host &m_host;
    QList<QMetaObject::Connection> m_connections;
};

}  // namespace quorvane
