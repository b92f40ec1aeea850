#include "loopbackserver.h"

#include "faultroutes.h"
#include "generatedsite.h"
#include "partnersite.h"

#include <httplib.h>

#include <chrono>
#include <csignal>
#include <stdexcept>

namespace quorvane {

namespace {

bool endsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void addMimeTypes(httplib::Server &server)
{
    server.set_file_extension_and_mimetype_mapping("htm", "text/html")
        .set_file_extension_and_mimetype_mapping("html", "text/html")
        .set_file_extension_and_mimetype_mapping("txt", "text/plain")
        .set_file_extension_and_mimetype_mapping("js", "text/javascript")
        .set_file_extension_and_mimetype_mapping("css", "text/css")
        .set_file_extension_and_mimetype_mapping("png", "image/png")
        .set_file_extension_and_mimetype_mapping("bmp", "image/bmp")
        .set_file_extension_and_mimetype_mapping("gif", "image/gif")
        .set_file_extension_and_mimetype_mapping("jpg", "image/jpeg")
        .set_file_extension_and_mimetype_mapping("jpeg", "image/jpeg");
}

}  // namespace

namespace {

LoopbackServer::Options withPages(LoopbackServer::Pages pages)
{
    LoopbackServer::Options options;
    options.pages = std::move(pages);
    return options;
}

LoopbackServer::Options withFolder(const std::string &staticRoot)
{
    LoopbackServer::Options options;
    options.staticRoot = staticRoot;
    return options;
}

}  // namespace

LoopbackServer::LoopbackServer() : LoopbackServer(Options())
{
}

LoopbackServer::LoopbackServer(Pages pages) : LoopbackServer(withPages(std::move(pages)))
{
}

LoopbackServer::LoopbackServer(const std::string &staticRoot) : LoopbackServer(withFolder(staticRoot))
{
}

LoopbackServer::LoopbackServer(Options options)
    : m_server(std::make_unique<httplib::Server>()),
      m_stopping(std::make_shared<std::atomic<bool>>(false)),
      m_pages(std::move(options.pages))
{
    if (!isLoopback(options.host))
        throw std::runtime_error("only loopback hosts are served");
    // A client that hangs up mid-response must not end this process.
    std::signal(SIGPIPE, SIG_IGN);

    httplib::Server &server = *m_server;
    // Bounds how long stop() waits on connections a client keeps open.
    server.set_keep_alive_timeout(1);
    server.set_keep_alive_max_count(size_t(options.requestsPerConnection));
    // httplib's default adds SO_REUSEPORT, with which a second server shares a
    // taken port instead of failing; only address reuse is wanted, for restarts.
    server.set_socket_options([](socket_t sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Headers and body go out in separate writes; without this, Nagle and delayed
    // ACKs add 40 ms to every response.
    server.set_tcp_nodelay(true);
    server.set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &response) {
        // httplib compresses text with brotli at its highest quality, which costs far
        // more than loopback transfer saves (seconds for a large page): serve plain.
        // The server owns the request; the handler type only promises not to change
        // it. The header echo route still shows what the client sent.
        if (request.path != "/fault/headers")
            const_cast<httplib::Request &>(request).headers.erase("Accept-Encoding");
        // Pages go ahead of the folder, which httplib serves before any route.
        const auto page = m_pages.find(request.path);
        if (page == m_pages.end() || (request.method != "GET" && request.method != "HEAD"))
            return httplib::Server::HandlerResponse::Unhandled;
        response.set_content(page->second(), "text/html; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
    });
    addFaultRoutes(server, m_stopping);
    addGeneratedSite(server);
    addPartnerSite(server, m_stopping);
    if (!options.staticRoot.empty()) {
        addMimeTypes(server);
        if (!server.set_mount_point("/", options.staticRoot))
            throw std::runtime_error("no such folder: " + options.staticRoot);
        server.set_file_request_handler([this](const httplib::Request &request, httplib::Response &response) {
            if (!endsWith(request.path, ".txt") && !endsWith(request.path, ".htm") && !endsWith(request.path, ".html"))
                return;
            const std::string placeholder = "{{HOST}}";
            std::string &body = response.body;
            for (size_t at = body.find(placeholder); at != std::string::npos;
                 at = body.find(placeholder, at + m_hostPort.size()))
                body.replace(at, placeholder.size(), m_hostPort);
        });
    }

    m_port = options.port;
    if (m_port == 0)
        m_port = server.bind_to_any_port(options.host);
    else if (!server.bind_to_port(options.host, m_port))
        m_port = -1;
    if (m_port <= 0)
        throw std::runtime_error("cannot listen on " + options.host + ':' + std::to_string(options.port));
    const bool ipv6 = options.host.find(':') != std::string::npos;
    m_hostPort = (ipv6 ? '[' + options.host + ']' : options.host) + ':' + std::to_string(m_port);
    m_base = "http://" + m_hostPort;

    m_thread = std::thread([&server] { server.listen_after_bind(); });
    // stop() does nothing until the accept loop runs, and the join would hang: wait for it.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server.is_running() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer()
{
    m_stopping->store(true);
    m_server->stop();
    m_thread.join();
}

bool LoopbackServer::isLoopback(const std::string &host)
{
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

}  // namespace quorvane
