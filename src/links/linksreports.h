#pragma once

#include <QString>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;

// The views of what was collected: the "Found links report" page, the links
// listing and the report-row listing, with their clear and close buttons.
class LinksReports final {
public:
    LinksReports(WindowState &state, Host &host);

    void bind(CommandTable &commands);

    void viewlinks_Click();
    void viewlinkslisting_Click();
    void listlisting_Click();
    void Command1_Click();
    void Clearalllinks_Click();
    void closel3_Click();

    static const QString reportOpening;
    static const QString reportClosing;

private:
    WindowState &m_state;
    Host &m_host;
};

}  // namespace quorvane
