#pragma once

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace quorvane {

// A generated site for crawling tests and benchmarks:
//   /gen/index.htm?n=N[&faults=1][&kb=K][&ms=M]
//                        links to N pages (at most 32,767), with faults=1 also to the
//                        slow, never-answering, resetting and huge fault routes, to
//                        a hostile page and to the scripted page; kb and ms are passed on
//   /gen/page/I.htm?kb=K[&ms=M]
//                        page I of about K kilobytes (default 2, at most 1024), after a
//                        wait of M milliseconds (default 0, at most 10,000): a title,
//                        a description, paragraphs, an e-mail link and a picture; every
//                        third page (I divisible by 3) holds the word "quorvanekey"
//   /gen/hostile...      a page whose title, description, paragraph and link text hold
//                        markup and script, served at any address starting so (an
//                        address with a quote in it included); it holds the word too
//   /gen/scripted.htm    a page whose paragraph with the word is built by its script:
//                        only an engine that runs scripts sees that paragraph
//   /gen/hits            "I COUNT" per line: how often each page was asked for, so
//                        that a test can tell which pages a crawl read twice
inline void addGeneratedSite(httplib::Server &server)
{
    struct Hits {
        std::mutex mutex;
        std::map<long long, int> counts;
    };
    const auto hits = std::make_shared<Hits>();
    static const std::string keyword = "quorvanekey";
    const auto number = [](const httplib::Request &request, const char *key, long long fallback, long long most) {
        if (!request.has_param(key))
            return fallback;
        return std::clamp(std::strtoll(request.get_param_value(key).c_str(), nullptr, 10), 0LL, most);
    };

    server.Get("/gen/index.htm", [number](const httplib::Request &request, httplib::Response &response) {
        const long long n = number(request, "n", 40, 32767);
        const long long kb = number(request, "kb", 2, 1024);
        const long long ms = number(request, "ms", 0, 10000);
        const std::string wait = ms > 0 ? "&amp;ms=" + std::to_string(ms) : std::string();
        std::string page = "<html><head><title>Generated index</title></head><body>\n";
        for (long long i = 0; i < n; ++i) {
            page += "<a href=\"/gen/page/" + std::to_string(i) + ".htm?kb=" + std::to_string(kb) + wait + "\">Page "
                  + std::to_string(i) + "</a><br>\n";
        }
        if (request.has_param("faults")) {
            page += "<a href=\"/fault/slow?ms=1500\">slow</a><br>\n<a href=\"/fault/hang\">hang</a><br>\n"
                    "<a href=\"/fault/reset\">reset</a><br>\n<a href=\"/fault/huge\">huge</a><br>\n"
                    "<a href=\"/gen/hostile'x.htm\">&lt;b&gt;hostile&lt;/b&gt;</a><br>\n"
                    "<a href=\"/gen/scripted.htm\">scripted</a><br>\n";
        }
        page += "</body></html>\n";
        response.set_content(page, "text/html");
    });

    server.Get("/gen/hits", [hits](const httplib::Request &, httplib::Response &response) {
        std::string text;
        const std::lock_guard<std::mutex> lock(hits->mutex);
        for (const auto &[page, count] : hits->counts)
            text += std::to_string(page) + " " + std::to_string(count) + "\n";
        response.set_content(text, "text/plain");
    });

    server.Get(R"(/gen/page/(\d+)\.htm)", [number, hits](const httplib::Request &request, httplib::Response &response) {
        const std::string id = request.matches[1];
        const long long kb = number(request, "kb", 2, 1024);
        {
            const std::lock_guard<std::mutex> lock(hits->mutex);
            ++hits->counts[std::strtoll(id.c_str(), nullptr, 10)];
        }
        if (const long long ms = number(request, "ms", 0, 10000); ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        const bool found = std::strtoll(id.c_str(), nullptr, 10) % 3 == 0;
        std::string page = "<html><head><title>Page " + id + "</title><meta name=\"description\" content=\"Generated page "
                         + id + "\"></head><body>\n<p>Welcome to page " + id + ".</p>\n";
        const std::string filler = "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
                                   "tempor incididunt ut labore et dolore magna aliqua.</p>\n";
        while (page.size() + filler.size() < size_t(kb) * 1024)
            page += filler;
        if (found)
            page += "<p>Trade your links with us: " + keyword + ".</p>\n";
        page += "<a href=\"mailto:page" + id + "@gen.test\">Write to page " + id + "</a>\n<img src=\"/gen/pic" + id
              + ".jpg\">\n</body></html>\n";
        response.set_content(page, "text/html");
    });

    server.Get("/gen/scripted.htm", [](const httplib::Request &, httplib::Response &response) {
        response.set_content("<html><head><title>Scripted</title></head><body><script>"
                             "var p = document.createElement('p');"
                             "p.textContent = 'Built by script: " + keyword + ".';"
                             "document.body.appendChild(p);</script></body></html>\n",
                             "text/html");
    });

    server.Get(R"(/gen/hostile.*)", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(
            "<html><head><title>&lt;script&gt;document.title='PWNED'&lt;/script&gt;</title>"
            "<meta name=\"description\" content=\"&lt;img src=x onerror=&quot;document.title='PWNED'&quot;&gt;\">"
            "</head><body><p>" + keyword + " &lt;img src=x onerror=\"document.title='PWNED'\"&gt;</p>"
            "<a href=\"mailto:x@gen.test'onmouseover='document.title=1\">&lt;script&gt;document.title='PWNED'"
            "&lt;/script&gt;</a></body></html>\n",
            "text/html");
    });
}

}  // namespace quorvane
