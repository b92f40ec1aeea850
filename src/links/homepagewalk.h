#pragma once

#include "core/config.h"
#include "host/transfer.h"

#include <QList>
#include <QMetaObject>
#include <QString>
#include <QStringList>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;
struct Config;

// Shows the home site's next home pages one per press of Picture24, each once
// per cycle: List5 queues the pages of /list5.txt (fetched by Inet10), List6
// remembers the pages shown.
class HomePageWalk final {
public:
    static constexpr int ReadSize = 64000;

    HomePageWalk(WindowState &state, Host &host, const Config &config);
    ~HomePageWalk();
    HomePageWalk(const HomePageWalk &) = delete;
    HomePageWalk &operator=(const HomePageWalk &) = delete;

    void bind(CommandTable &commands);

    void showNextHomePage();
    void Inet10_StateChanged(TransferState state);

    // The lines of text each ended by CR LF; text after the last CR LF is not
    // a line. A CR LF right at a line's start belongs to that line.
    static QStringList splitHomePageLines(const QString &text);

private:
    // Removes the pages already shown from the head of the queue.
    void dropShownPages();
    void showFirstQueuedPage();

    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
    QList<QMetaObject::Connection> m_connections;
};

}  // namespace quorvane
