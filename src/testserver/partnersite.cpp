#include "partnersite.h"

#include <httplib.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace quorvane {

namespace {

constexpr char Link[] = "<a href=\"http://www.mysite.example/\">My Site</a>";

struct SiteState {
    std::mutex mutex;
    std::map<std::string, std::string> states;
    std::map<std::string, int> hits;

    std::string stateOf(const std::string &page)
    {
        const auto it = states.find(page);
        if (it != states.end())
            return it->second;
        static const char *const named[] = {"live", "removed", "nofollow", "sponsored", "anchor", "noindex",
                                            "xrobots", "robots", "redirect", "offsite", "404", "410", "parked",
                                            "soft404", "script", "flaky", "ratelimited", "hang", "huge", "hostile"};
        for (const char *name : named) {
            if (page == name)
                return page;
        }
        return "live";
    }
};

std::string page(const std::string &title, const std::string &body, const std::string &head = {})
{
    std::string out;
    out.reserve(body.size() + head.size() + 2 * title.size() + 160);
    out.append("<!DOCTYPE html><html><head><title>").append(title).append("</title>").append(head);
    out.append("</head><body><h1>").append(title).append("</h1><p>Friends of this site:</p>").append(body);
    out.append("</body></html>");
    return out;
}

// "127.0.0.1:PORT" of the request, to build addresses on another host name.
std::string portOf(const httplib::Request &request)
{
    const std::string host = request.get_header_value("Host");
    const size_t colon = host.rfind(':');
    return colon == std::string::npos ? std::string() : host.substr(colon);
}

bool pause(const std::shared_ptr<std::atomic<bool>> &stopping, std::chrono::seconds length)
{
    const auto until = std::chrono::steady_clock::now() + length;
    while (std::chrono::steady_clock::now() < until) {
        if (stopping->load())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void serve(const std::string &name, const std::string &state, int hit, const httplib::Request &request,
           httplib::Response &response, const std::shared_ptr<std::atomic<bool>> &stopping)
{
    const std::string html = "text/html; charset=utf-8";
    const std::string title = "Partner page " + name;
    if (state == "live" || state == "robots" || ((state == "flaky" || state == "ratelimited") && hit > 1)) {
        response.set_content(page(title, Link), html);
    } else if (state == "removed") {
        response.set_content(page(title, "<a href=\"http://other.example/\">Other</a>"), html);
    } else if (state == "nofollow" || state == "sponsored") {
        response.set_content(page(title, "<a rel=\"" + state + "\" href=\"http://www.mysite.example/\">My Site</a>"), html);
    } else if (state == "anchor") {
        response.set_content(page(title, "<a href=\"http://www.mysite.example/\">Cheap Widgets</a>"), html);
    } else if (state == "noindex") {
        response.set_content(page(title, Link, "<meta name=\"robots\" content=\"noindex\">"), html);
    } else if (state == "xrobots") {
        response.set_header("X-Robots-Tag", "noindex");
        response.set_content(page(title, Link), html);
    } else if (state == "redirect") {
        response.set_redirect("/partners/p/" + name + "-moved", 301);
    } else if (state == "offsite") {
        response.set_redirect("http://localhost" + portOf(request) + "/partners/p/live", 301);
    } else if (state == "404" || state == "410") {
        response.status = std::stoi(state);
        response.set_content(page("Not Found", "<p>No such page.</p>"), html);
    } else if (state == "parked") {
        response.set_content(page("This domain is for sale!", "<p>Buy this domain today. Parked free of charge.</p>"), html);
    } else if (state == "soft404") {
        response.set_content(page("Oops", "<p>Sorry, the page you requested could not be found.</p>"), html);
    } else if (state == "script") {
        response.set_content(page(title, "<div id=\"f\"></div><script>var a=document.createElement('a');"
                                         "a.href='http://www.mysite.example/';a.textContent='My Site';"
                                         "document.getElementById('f').appendChild(a);</script>"),
                             html);
    } else if (state == "flaky") {
        response.status = 503;
        response.set_content("busy", "text/plain");
    } else if (state == "ratelimited") {
        response.status = 429;
        response.set_header("Retry-After", "2");
        response.set_content("slow down", "text/plain");
    } else if (state == "hang") {
        pause(stopping, std::chrono::seconds(60));
        response.status = 503;
    } else if (state == "huge") {
        std::string filler;
        filler.reserve(5 * 1024 * 1024 + 1024);
        while (filler.size() < 5u * 1024 * 1024)
            filler += "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor.</p>\n";
        response.set_content(page(title, filler + Link), html);
    } else if (state == "hostile") {
        response.set_content(page(title, "<a href=\"http://www.mysite.example/\">&lt;img src=x onerror=alert(1)&gt;"
                                         "&lt;/td&gt;&lt;script&gt;alert('x')&lt;/script&gt;\"'</a>"),
                             html);
    } else {
        response.set_content(page(title, Link), html);
    }
}

}  // namespace

void addPartnerSite(httplib::Server &server, const std::shared_ptr<std::atomic<bool>> &stopping)
{
    auto site = std::make_shared<SiteState>();
    server.Get(R"(/partners/p/([A-Za-z0-9_-]+))", [site, stopping](const httplib::Request &request, httplib::Response &response) {
        const std::string name = request.matches[1];
        std::string state;
        int hit = 0;
        {
            const std::lock_guard lock(site->mutex);
            state = site->stateOf(name);
            hit = ++site->hits[name];
        }
        // The same-site redirect lands on a page of its own that carries the link.
        if (name.size() > 6 && name.compare(name.size() - 6, 6, "-moved") == 0)
            state = "live";
        serve(name, state, hit, request, response, stopping);
    });
    server.Get("/partners/set", [site](const httplib::Request &request, httplib::Response &response) {
        const std::string name = request.get_param_value("page");
        const std::string state = request.get_param_value("state");
        if (name.empty() || state.empty()) {
            response.status = 400;
            return;
        }
        const std::lock_guard lock(site->mutex);
        site->states[name] = state;
        site->hits.erase(name);
        response.set_content("ok", "text/plain");
    });
    server.Get("/partners/reset", [site](const httplib::Request &, httplib::Response &response) {
        const std::lock_guard lock(site->mutex);
        site->states.clear();
        site->hits.clear();
        response.set_content("ok", "text/plain");
    });
    server.Get("/robots.txt", [site](const httplib::Request &, httplib::Response &response) {
        std::string text = "User-agent: *\n";
        const std::lock_guard lock(site->mutex);
        text += "Disallow: /partners/p/robots\n";
        for (const auto &[name, state] : site->states) {
            if (state == "robots")
                text += "Disallow: /partners/p/" + name + "\n";
        }
        response.set_content(text, "text/plain");
    });
    server.Get(R"(/partners/gen/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
        const std::string k = request.matches[1];
        // The paragraph is built once and the page in one buffer: this server
        // shares the processor with the client it serves in the benchmarks.
        const std::string paragraph =
            "<p>Generated partner page " + k + ", a paragraph of text to make the page weigh like a real one.</p>\n";
        std::string body;
        body.reserve(41000 + sizeof(Link));
        while (body.size() < 40000)
            body += paragraph;
        body += Link;
        response.set_content(page("Generated partner " + k, body), "text/html; charset=utf-8");
    });
    server.Get("/partners/list.csv", [](const httplib::Request &request, httplib::Response &response) {
        const long n = request.has_param("n") ? std::strtol(request.get_param_value("n").c_str(), nullptr, 10) : 10;
        const std::string base = "http://" + request.get_header_value("Host");
        std::string csv = "page,site,anchor\r\n";
        for (long k = 0; k < std::min(n, 100000L); ++k)
            csv += base + "/partners/gen/" + std::to_string(k) + ",mysite.example,My Site\r\n";
        response.set_content(csv, "text/csv");
    });
}

}  // namespace quorvane
