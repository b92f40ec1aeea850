#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;

// Create Full Report (the links list becomes the page queue for the reader)
// and Save report (the report rows as an HTML file).
class FoundReports final {
public:
    FoundReports(WindowState &state, Host &host, std::function<void()> readNextQueuedPage);

    void bind(CommandTable &commands);

    void viewreport_Click();
    void savereport_Click();

    // The saved file: the rows inside a small page, CR LF line ends. Text
    // outside ASCII becomes numeric references, so the file reads the same
    // whatever encoding a browser assumes for it.
    static QByteArray reportFile(const QStringList &rows);

private:
    WindowState &m_state;
    Host &m_host;
    std::function<void()> m_readNextQueuedPage;
};

}  // namespace quorvane
