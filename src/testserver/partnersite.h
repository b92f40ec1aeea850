#pragma once

#include <atomic>
#include <memory>

namespace httplib {
class Server;
}

namespace quorvane {

// A partner site whose pages change between runs, for the link checker's
// tests. Every page links (or not) to the user's site http://www.mysite.example/
// with the anchor "My Site":
//   /partners/p/NAME            the page NAME in its current state; a page's
//                               state starts as its name (so /partners/p/nofollow
//                               is a nofollow link), any other name starts "live"
//   /partners/set?page=NAME&state=STATE   changes a page's state
//   /partners/reset             every page back to its first state, counters cleared
//   /robots.txt                 disallows the pages in state "robots"
//   /partners/gen/K             page K of a generated list (about 40 KB, one link)
//   /partners/list.csv?n=N      a partner CSV of N generated pages
// States: live, removed, nofollow, sponsored, anchor (other anchor text),
// noindex (meta), xrobots (X-Robots-Tag header), robots (robots.txt),
// redirect (301 to a page of the same site), offsite (301 to the host
// "localhost"), 404, 410, parked, soft404, script (the link written by
// script only), flaky (503 on the first request, then live), ratelimited
// (429 with Retry-After: 2 on the first request, then live), hang (never
// answers, until the server stops or 60 s), huge (5 MB, the link at the
// end), hostile (markup in the anchor text).
void addPartnerSite(httplib::Server &server, const std::shared_ptr<std::atomic<bool>> &stopping);

}  // namespace quorvane
