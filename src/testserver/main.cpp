#include "loopbackserver.h"

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include <pthread.h>

namespace {

constexpr char Usage[] = "usage: quorvane-testserver --root DIR [--host 127.0.0.1] [--port N]\n";

bool parse(int argc, char **argv, quorvane::LoopbackServer::Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (arg == "--root") {
            options.staticRoot = value;
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
    return !options.staticRoot.empty();
}

}  // namespace

int main(int argc, char **argv)
{
    quorvane::LoopbackServer::Options options;
    if (!parse(argc, argv, options)) {
        std::cerr << Usage;
        return 2;
    }
    if (!quorvane::LoopbackServer::isLoopback(options.host)) {
        std::cerr << "quorvane-testserver: only loopback hosts are served\n";
        return 2;
    }

    // Block the stop signals before the server starts threads, so that they all
    // inherit the mask and only sigwait() below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        quorvane::LoopbackServer server(std::move(options));
        std::cout << "listening on " << server.base() << std::endl;
        int received = 0;
        sigwait(&stopSignals, &received);
    } catch (const std::exception &error) {
        std::cerr << "quorvane-testserver: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
