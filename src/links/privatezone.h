#pragma once

#include <QString>

#include <functional>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;

// The private zone (entered with an account password, left with the same
// toggle) and the address bar, which in the public zone refuses addresses of
// the private domain list.
class PrivateZone final {
public:
    static constexpr int RecentAddresses = 19;

    PrivateZone(WindowState &state, Host &host);

    void bind(CommandTable &commands);

    // Picture14 and the menu entry privatte.
    void toggleZone();
    // Enter in the address bar: remember the address, then open it.
    void addressEntered();
    // An address chosen from the address bar's list.
    void addressChosen(int index);
    void openAddress();
    // Called after a logout; the roles that keep pictures forget what an
    // unrecorded private session gave them.
    void setLogoutListener(std::function<void()> listener) { m_loggedOut = std::move(listener); }

private:
    void logIn();
    void logOut();
    void showAddressBarAndButtons(bool shown);

    WindowState &m_state;
    Host &m_host;
    std::function<void()> m_loggedOut;
};

}  // namespace quorvane
