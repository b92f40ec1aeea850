#include "core/addressgate.h"

#include <gtest/gtest.h>

namespace quorvane {

TEST(AddressGate, OnlyWebAddressesAndUserFilesPass)
{
    const struct {
        const char *address;
        bool web;
        bool openable;     // from the user's own lists and typing
        bool fromWebPage;  // found in a web page
        bool fromFilePage; // found in a local file the user opened
    } cases[] = {
        {"http://a.test/x", true, true, true, true},
        {"  HTTPS://a.test/", true, true, true, true},
        {"file:///home/me/links.htm", false, true, false, true},
        {"javascript:alert(1)", false, false, false, false},
        {" JavaScript:alert(1)", false, false, false, false},
        {"java\tscript:alert(1)", false, false, false, false},  // a browser drops the tab and runs it
        {"vbscript:msgbox(1)", false, false, false, false},
        {"data:text/html,<script>alert(1)</script>", false, false, false, false},
        {"view-source:http://a.test/", false, false, false, false},
        {"http:a.test", false, false, false, false},  // no authority: not the address it looks like
        {"mailto:me@a.test", false, false, false, false},
        {"example.com", false, true, false, false},  // history keeps bare hosts
        {"localhost:8080/x", false, true, false, false},
        {"example.com:evil", false, false, false, false},
        {"//a.test/", false, false, false, false},
        {"", false, false, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        const QString address = QString::fromUtf8(c.address);
        EXPECT_EQ(isWebAddress(address), c.web);
        EXPECT_EQ(isOpenableAddress(address), c.openable);
        EXPECT_EQ(isPageAddressAllowed(address, u"http://page.test/"), c.fromWebPage);
        EXPECT_EQ(isPageAddressAllowed(address, u"file:///home/me/page.htm"), c.fromFilePage);
    }
}

}  // namespace quorvane
