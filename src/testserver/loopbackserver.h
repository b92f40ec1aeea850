#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace quorvane {

// An HTTP server on a loopback address, answering from a thread of its own
// until destroyed. It serves, first match wins:
//   - fixed pages by exact path, as UTF-8 HTML made at each request;
//   - a folder of static files at "/", where {{HOST}} in .htm, .html and .txt
//     files becomes the server's HOST:PORT, so the bundled site works on any port;
//   - the fault routes (/fault/..., see faultroutes.h) and the generated site
//     (/gen/..., see generatedsite.h).
// Nothing is compressed.
class LoopbackServer final {
public:
    using Page = std::function<std::string()>;
    using Pages = std::map<std::string, Page>;

    struct Options {
        Options() = default;  // not an aggregate: a braced list of pages means Pages

        std::string host = "127.0.0.1";
        int port = 0;  // 0: a free one
        std::string staticRoot;  // none when empty
        Pages pages;
        // Like common web servers; a test that needs connections to end often
        // asks for fewer.
        int requestsPerConnection = 100;
    };

    // Throw std::runtime_error when the host is not a loopback one, the folder
    // does not exist or the address cannot be bound.
    LoopbackServer();
    explicit LoopbackServer(Pages pages);
    explicit LoopbackServer(const std::string &staticRoot);
    explicit LoopbackServer(Options options);
    ~LoopbackServer();

    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    static bool isLoopback(const std::string &host);

    int port() const { return m_port; }
    // "http://HOST:PORT", an IPv6 host in brackets.
    const std::string &base() const { return m_base; }
    // base() followed by path, which should start with a slash.
    std::string url(const std::string &path) const { return m_base + path; }

private:
    std::unique_ptr<httplib::Server> m_server;
    // Raised before stopping so that routes which sleep return promptly:
    // httplib's stop() waits for every handler to finish.
    std::shared_ptr<std::atomic<bool>> m_stopping;
    Pages m_pages;
    std::string m_hostPort;
    std::string m_base;
    std::thread m_thread;
    int m_port = 0;
};

}  // namespace quorvane
