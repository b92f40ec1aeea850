#pragma once

#include <httplib.h>

#include <QString>

#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>

namespace quorvane {

// Serves fixed pages on 127.0.0.1 from a thread; each instance is its own origin.
class LocalServer final {
public:
    using Page = std::function<std::string()>;

    // All pages are known up front: the handler table is not touched once serving.
    explicit LocalServer(std::map<std::string, Page> pages) : m_pages(std::move(pages))
    {
        std::signal(SIGPIPE, SIG_IGN);  // a client hanging up must not end the test process
        m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            const auto it = m_pages.find(request.path);
            if (it == m_pages.end()) {
                response.status = 404;
                return;
            }
            response.set_content(it->second(), "text/html; charset=utf-8");
        });
        // Bounds how long stop() waits on connections the engine keeps alive.
        m_server.set_keep_alive_timeout(1);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            throw std::runtime_error("cannot bind a loopback port");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() does nothing before the accept loop runs, and the join would hang.
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~LocalServer()
    {
        m_server.stop();
        m_thread.join();
    }

    LocalServer(const LocalServer &) = delete;
    LocalServer &operator=(const LocalServer &) = delete;

    int port() const { return m_port; }
    QString url(const char *path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(QString::fromUtf8(path));
    }

private:
    std::map<std::string, Page> m_pages;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

}  // namespace quorvane
