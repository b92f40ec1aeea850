#include "core/emailaddress.h"

#include <gtest/gtest.h>

using namespace quorvane;

TEST(EmailAddress, TakesTheDecodedAddressOfAMailtoLinkAndNothingElse)
{
    const struct {
        const char *href;
        const char *address = "";
    } cases[] = {
        {"mailto:info@shop.test", "info@shop.test"},
        {"MAILTO:Sales@Shop.Test?subject=Hi&body=x", "Sales@Shop.Test"},
        {"mailto:j%2Edoe%40shop.test", "j.doe@shop.test"},
        {"mailto:%6A%6F%65@shop.test#x", "joe@shop.test"},
        {"mailto:a@x.test,b@y.test", "a@x.test"},
        {"mailto: spaced@x.test ", "spaced@x.test"},
        // None of these is an e-mail address.
        {"mailto:logo@2x.png"}, {"mailto:photo@3x.JPEG"}, {"mailto:name at example dot com"}, {"mailto:joe&#64;shop.test"},
        {"mailto:@shop.test"}, {"mailto:joe@localhost"}, {"mailto:joe@shop."}, {"mailto:a<b>@shop.test"},
        {"mailto:a%0d%0aBcc:x@evil.test"}, {"http://shop.test/mailto:joe@shop.test"}, {"mailto:"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.href);
        EXPECT_EQ(mailtoAddress(QString::fromUtf8(c.href)), QString::fromUtf8(c.address));
    }
}

TEST(EmailAddress, FindsEachAddressOfAPageOnceInPageOrder)
{
    const QString html = QStringLiteral(
        "<a href='mailto:b@shop.test'>B</a> <img src='logo@2x.png'> write to a@shop.test "
        "<a href=\"MAILTO:A@shop.test?subject=x\">A</a><a href=mailto:B@SHOP.TEST>again</a>"
        "<area href='mailto:c%40shop.test'>");
    EXPECT_EQ(mailtoAddressesIn(html), (QStringList{"b@shop.test", "A@shop.test", "c@shop.test"}));
    EXPECT_TRUE(mailtoAddressesIn(QString(100000, u'x') + QStringLiteral("mailto:")).isEmpty());
}
