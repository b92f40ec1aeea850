#pragma once

#include "hostilepages.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <sys/socket.h>
#include <netinet/in.h>

namespace quorvane {

// Raised just before the server stops, so that routes which sleep return promptly:
// httplib's stop() waits for every handler to finish.
using StopFlag = std::shared_ptr<std::atomic<bool>>;

namespace faultdetail {

using Clock = std::chrono::steady_clock;

constexpr auto Step = std::chrono::milliseconds(20);
constexpr auto MaxWait = std::chrono::seconds(60);
constexpr int MaxDripBytes = 60;
constexpr long long HugeBytes = 2LL * 1024 * 1024 * 1024;
constexpr size_t HugeChunk = 64 * 1024;
constexpr long long MaxSizedBytes = 64LL * 1024 * 1024;

// Sleeps in small steps; false when the server began stopping meanwhile.
inline bool pause(const StopFlag &stopping, std::chrono::milliseconds length)
{
    const auto until = Clock::now() + std::min<std::chrono::milliseconds>(length, MaxWait);
    while (Clock::now() < until) {
        if (stopping->load())
            return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(Step, until - Clock::now()));
    }
    return !stopping->load();
}

inline long long numberParam(const httplib::Request &request, const char *key, long long fallback)
{
    if (!request.has_param(key))
        return fallback;
    return std::strtoll(request.get_param_value(key).c_str(), nullptr, 10);
}

inline int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline std::string fromHex(const std::string &hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            break;
        bytes.push_back(char(high * 16 + low));
    }
    return bytes;
}

inline int port(const sockaddr_storage &address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in &>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 &>(address).sin6_port);
    return -1;
}

// httplib gives handlers no socket, so find the request's connection among our
// descriptors by its two ports and shut it down before any response is written.
inline bool dropConnection(const httplib::Request &request)
{
    constexpr int MaxDescriptor = 4096;
    for (int fd = 0; fd < MaxDescriptor; ++fd) {
        sockaddr_storage local{};
        sockaddr_storage peer{};
        socklen_t localLength = sizeof local;
        socklen_t peerLength = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &localLength) != 0
            || getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLength) != 0)
            continue;
        if (port(local) != request.local_port || port(peer) != request.remote_port)
            continue;
        const linger abort{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        shutdown(fd, SHUT_RDWR);
        return true;
    }
    return false;
}

}  // namespace faultdetail

// Routes under /fault/ that misbehave on purpose, for testing clients:
//   /fault/hang                 never answers (until the server stops, at most 60 s)
//   /fault/drip                 one byte a second, 60 bytes
//   /fault/reset                drops the connection without a response
//   /fault/huge                 a 2 GB body, streamed until the client goes away
//   /fault/endless              an HTML page of short paragraphs, 2 GB streamed until
//                               the client goes away
//   /fault/gzip-bomb            about 1.5 MB sent with Content-Encoding: gzip, inflating
//                               to 512 MiB of HTML paragraphs (see hostilepages.h)
//   /fault/redirect-loop        redirects to itself
//   /fault/redirect?to=URL      302 to URL
//   /fault/chain?n=N            N redirects in a row, then a page
//   /fault/404                  not found
//   /fault/416                  range not satisfiable, as common servers answer a
//                               range on an empty file (httplib itself sends 206)
//   /fault/charset?cs=LABEL&body=TEXT|hex=BYTES
//                               text/html declaring charset LABEL (none if cs is empty)
//   /fault/slow?ms=N            answers after N ms, at most 60 s
//   /fault/bytes?n=N[&raw=1]    an HTML page of N bytes, at most 64 MB; raw=1 serves
//                               it as application/octet-stream, which is never compressed
//   /fault/headers              the request headers as text, one "Name: value" a line
//   /fault/status?code=N[&set-NAME=VALUE...]
//                               answers status N (100 to 599, else 400) with a short
//                               page and each set- parameter as a header NAME: VALUE
//   /fault/busy?key=K&times=N[&after=S][&code=C][&body=TEXT]
//                               answers C (default 429) with Retry-After: S (default 1)
//                               to the first N requests with that key, then 200 with
//                               TEXT as HTML
//   /fault/busy-count?key=K     how many requests /fault/busy had with that key
//   /fault/beacon               counts the request and answers 204 (any query)
//   /fault/beacon-count         how many requests /fault/beacon had, as text
inline void addFaultRoutes(httplib::Server &server,
                           StopFlag stopping = std::make_shared<std::atomic<bool>>(false))
{
    using namespace faultdetail;
    using namespace hostilepages;
    // Made here rather than at the first request, which a client would wait on.
    gzipBomb();

    // What a hostile page's script would call: a test reads the count to see
    // that no script ran.
    auto beacons = std::make_shared<std::atomic<long long>>(0);
    server.Get("/fault/beacon", [beacons](const httplib::Request &, httplib::Response &response) {
        ++*beacons;
        response.status = 204;
    });
    server.Get("/fault/beacon-count", [beacons](const httplib::Request &, httplib::Response &response) {
        response.set_content(std::to_string(beacons->load()), "text/plain");
    });

    server.Get("/fault/hang", [stopping](const httplib::Request &, httplib::Response &response) {
        pause(stopping, MaxWait);
        response.status = 503;
    });

    server.Get("/fault/drip", [stopping](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider(
            "application/octet-stream", [stopping](size_t offset, httplib::DataSink &sink) {
                if (offset >= size_t(MaxDripBytes)) {
                    sink.done();
                    return true;
                }
                if (offset > 0 && !pause(stopping, std::chrono::seconds(1)))
                    return false;
                return sink.write(".", 1);
            });
    });

    server.Get("/fault/reset", [](const httplib::Request &request, httplib::Response &response) {
        if (!dropConnection(request))
            response.status = 500;
    });

    server.Get("/fault/huge", [stopping](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider(
            "application/octet-stream", [stopping](size_t offset, httplib::DataSink &sink) {
                static const std::string chunk(HugeChunk, 'x');
                if (stopping->load() || !sink.is_writable())
                    return false;
                if (offset >= size_t(HugeBytes)) {
                    sink.done();
                    return true;
                }
                return sink.write(chunk.data(), chunk.size());
            });
    });

    server.Get("/fault/endless", [stopping](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider("text/html", [stopping](size_t offset, httplib::DataSink &sink) {
            static const std::string head = "<html><head><title>endless</title></head><body>\n";
            if (stopping->load() || !sink.is_writable())
                return false;
            if (offset >= size_t(HugeBytes)) {
                sink.done();
                return true;
            }
            const std::string &chunk = offset == 0 ? head : paragraphChunk();
            return sink.write(chunk.data(), chunk.size());
        });
    });

    server.Get("/fault/gzip-bomb", [](const httplib::Request &, httplib::Response &response) {
        response.set_header("Content-Encoding", "gzip");
        response.set_content(gzipBomb(), "text/html");
    });

    server.Get("/fault/redirect-loop", [](const httplib::Request &, httplib::Response &response) {
        response.set_redirect("/fault/redirect-loop");
    });

    server.Get("/fault/redirect", [](const httplib::Request &request, httplib::Response &response) {
        if (!request.has_param("to")) {
            response.status = 400;
            return;
        }
        response.set_redirect(request.get_param_value("to"));
    });

    server.Get("/fault/chain", [](const httplib::Request &request, httplib::Response &response) {
        const long long left = std::clamp(numberParam(request, "n", 0), 0LL, 1000LL);
        if (left > 0)
            response.set_redirect("/fault/chain?n=" + std::to_string(left - 1));
        else
            response.set_content("end of chain", "text/plain");
    });

    server.Get("/fault/404", [](const httplib::Request &, httplib::Response &response) {
        response.status = 404;
        response.set_content("<html><body>not found</body></html>", "text/html");
    });

    server.Get("/fault/416", [](const httplib::Request &, httplib::Response &response) {
        response.status = 416;
        response.set_content("<html><body>range not satisfiable</body></html>", "text/html");
    });

    server.Get("/fault/charset", [](const httplib::Request &request, httplib::Response &response) {
        const std::string label = request.get_param_value("cs");
        const std::string body = request.has_param("hex") ? fromHex(request.get_param_value("hex"))
                                                          : request.get_param_value("body");
        response.set_content(body, label.empty() ? "text/html" : "text/html; charset=" + label);
    });

    server.Get("/fault/slow", [stopping](const httplib::Request &request, httplib::Response &response) {
        const long long ms = std::clamp(numberParam(request, "ms", 1000), 0LL, 60'000LL);
        if (!pause(stopping, std::chrono::milliseconds(ms))) {
            response.status = 503;
            return;
        }
        response.set_content("slow", "text/plain");
    });

    server.Get("/fault/bytes", [](const httplib::Request &request, httplib::Response &response) {
        const long long size = std::clamp(numberParam(request, "n", 0), 0LL, MaxSizedBytes);
        std::string page(size_t(size), 'a');
        const std::string head = "<html><body>";
        page.replace(0, std::min(page.size(), head.size()), head, 0, page.size());
        response.set_content(page, request.has_param("raw") ? "application/octet-stream" : "text/html");
    });

    server.Get("/fault/status", [](const httplib::Request &request, httplib::Response &response) {
        const long long code = numberParam(request, "code", 400);
        response.status = code >= 100 && code <= 599 ? int(code) : 400;
        for (const auto &[name, value] : request.params) {
            if (name.rfind("set-", 0) == 0 && name.size() > 4)
                response.set_header(name.substr(4), value);
        }
        response.set_content("<html><body>status " + std::to_string(response.status) + "</body></html>", "text/html");
    });

    struct Busy {
        std::mutex mutex;
        std::map<std::string, long long> requests;
    };
    auto busy = std::make_shared<Busy>();
    server.Get("/fault/busy", [busy](const httplib::Request &request, httplib::Response &response) {
        long long seen = 0;
        {
            const std::lock_guard<std::mutex> lock(busy->mutex);
            seen = busy->requests[request.get_param_value("key")]++;
        }
        if (seen < numberParam(request, "times", 1)) {
            response.status = int(std::clamp(numberParam(request, "code", 429), 400LL, 599LL));
            response.set_header("Retry-After", request.has_param("after") ? request.get_param_value("after") : "1");
            response.set_content("busy", "text/plain");
            return;
        }
        response.set_content(request.get_param_value("body"), "text/html");
    });
    server.Get("/fault/busy-count", [busy](const httplib::Request &request, httplib::Response &response) {
        const std::lock_guard<std::mutex> lock(busy->mutex);
        const auto it = busy->requests.find(request.get_param_value("key"));
        response.set_content(std::to_string(it == busy->requests.end() ? 0 : it->second), "text/plain");
    });

    server.Get("/fault/headers", [](const httplib::Request &request, httplib::Response &response) {
        std::string text;
        for (const auto &[name, value] : request.headers)
            text += name + ": " + value + "\n";
        response.set_content(text, "text/plain");
    });
}

}  // namespace quorvane
