#include "faultroutes.h"
#include "generatedsite.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include <pthread.h>

namespace {

constexpr char Usage[] = "usage: quorvane-testserver --root DIR [--host 127.0.0.1] [--port N]\n";

struct Options {
    std::string root;
    std::string host = "127.0.0.1";
    int port = 0;
};

bool isLoopback(const std::string &host)
{
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

bool parse(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (arg == "--root") {
            options.root = value;
        } else if (arg == "--host") {
            options.host = value;
        } else if (arg == "--port") {
            char *end = nullptr;
            const long port = std::strtol(value.c_str(), &end, 10);
            if (*end != '\0' || port < 0 || port > 65535)
                return false;
            options.port = int(port);
        } else {
            return false;
        }
    }
    return !options.root.empty();
}

// The bundled site's lists name their pages as {{HOST}}; the server puts in the
// address it listens on, so the site works on any port.
void substituteHost(httplib::Server &server, const std::string &hostPort)
{
    server.set_file_request_handler([&hostPort](const httplib::Request &request, httplib::Response &response) {
        const std::string &path = request.path;
        const auto endsWith = [&path](const char *suffix) {
            const std::string s(suffix);
            return path.size() >= s.size() && path.compare(path.size() - s.size(), s.size(), s) == 0;
        };
        if (!endsWith(".txt") && !endsWith(".htm") && !endsWith(".html"))
            return;
        const std::string placeholder = "{{HOST}}";
        std::string &body = response.body;
        for (size_t at = body.find(placeholder); at != std::string::npos; at = body.find(placeholder, at + hostPort.size()))
            body.replace(at, placeholder.size(), hostPort);
    });
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

int main(int argc, char **argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::cerr << Usage;
        return 2;
    }
    if (!isLoopback(options.host)) {
        std::cerr << "quorvane-testserver: only loopback hosts are served\n";
        return 2;
    }

    // Block the stop signals before httplib starts threads, so that they all
    // inherit the mask and only sigwait() below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    // Idle keep-alive connections hold up stop(); keep that wait short.
    server.set_keep_alive_timeout(2);
    // Like common web servers, serve a hundred requests on a connection rather
    // than the library's five, so clients are measured on pages, not connects.
    server.set_keep_alive_max_count(100);
    // Headers and body go out in separate writes; without this, Nagle and delayed
    // ACKs add 40 ms to every response.
    server.set_tcp_nodelay(true);
    quorvane::serveUncompressed(server);
    const auto stopping = std::make_shared<std::atomic<bool>>(false);
    addMimeTypes(server);
    std::string hostPort;
    substituteHost(server, hostPort);
    quorvane::addFaultRoutes(server, stopping);
    quorvane::addGeneratedSite(server);
    if (!server.set_mount_point("/", options.root)) {
        std::cerr << "quorvane-testserver: no such folder: " << options.root << '\n';
        return 1;
    }

    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port(options.host);
    else if (!server.bind_to_port(options.host, port))
        port = -1;
    if (port <= 0) {
        std::cerr << "quorvane-testserver: cannot listen on " << options.host << ':' << options.port << '\n';
        return 1;
    }

    hostPort = (options.host.find(':') != std::string::npos ? '[' + options.host + ']' : options.host) + ':'
               + std::to_string(port);
    std::thread listener([&server] { server.listen_after_bind(); });
    // stop() does nothing until the accept loop runs, so wait for it (bounded).
    for (int i = 0; i < 5000 && !server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    const bool ipv6 = options.host.find(':') != std::string::npos;
    std::cout << "listening on http://" << (ipv6 ? '[' + options.host + ']' : options.host) << ':'
              << port << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    stopping->store(true);
    server.stop();
    listener.join();
    return 0;
}
