#pragma once

#include <QString>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;

// The private zone's site names (the domain list): Create adult listing adds
// the host of every harvested link, Edit adult listing shows the list behind
// the parental password.
class AdultListing final {
public:
    static const QString ParentalPassword;

    AdultListing(WindowState &state, Host &host);

    void bind(CommandTable &commands);

    void createadultlisting_Click();
    void editadultlisting_Click();

    // The host part of an address: from the eighth character up to the next
    // "/"; *ok is false (and the result empty) when there is no such "/".
    static QString hostOf(const QString &address, bool *ok);

private:
    WindowState &m_state;
    Host &m_host;
};

}  // namespace quorvane
