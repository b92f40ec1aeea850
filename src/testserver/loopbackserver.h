#pragma once

#include "faultroutes.h"
#include "generatedsite.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace quorvane {

// An HTTP server on 127.0.0.1 at a free port, with the fault routes and optionally a
// folder of static files, running in a thread of the test process until destroyed.
class LoopbackServer final {
public:
    explicit LoopbackServer(const std::string &staticRoot = {})
    {
        // A client that hangs up mid-response must not kill the test process.
        std::signal(SIGPIPE, SIG_IGN);
        // Bounds how long the destructor waits on connections a client keeps open.
        m_server.set_keep_alive_timeout(1);
        // Headers and body go out in separate writes; without this, Nagle and delayed
        // ACKs add 40 ms to every response.
        m_server.set_tcp_nodelay(true);
        serveUncompressed(m_server);
        addFaultRoutes(m_server, m_stopping);
        addGeneratedSite(m_server);
        if (!staticRoot.empty() && !m_server.set_mount_point("/", staticRoot))
            throw std::runtime_error("no such folder: " + staticRoot);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            throw std::runtime_error("cannot bind a loopback port");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() does nothing until the accept loop runs, so wait for it.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!m_server.is_running() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~LoopbackServer()
    {
        m_stopping->store(true);
        m_server.stop();
        m_thread.join();
    }

    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:PORT" followed by path, which should start with a slash.
    std::string url(const std::string &path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    httplib::Server &server() { return m_server; }

private:
    httplib::Server m_server;
    StopFlag m_stopping = std::make_shared<std::atomic<bool>>(false);
    std::thread m_thread;
    int m_port = 0;
};

}  // namespace quorvane
