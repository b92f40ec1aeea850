#include "host/qt/filefilter.h"
#include "core/hostport.h"

#include <gtest/gtest.h>

using quorvane::isValidHostPort;
using quorvane::toQtNameFilters;

TEST(FileFilterConversion, PairsBecomeQtNameFiltersWithThePatternsAfterTheBar)
{
    const struct {
        const char *filter, *qt;
    } cases[] = {
        {"HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf",
         "HTML file (*.htm *.html);;Text File (*.txt *.rtf)"},
        {"All files|*.*", "All files (*.*)"},    // parentheses added
        {"Pages (htm)|*.htm", "Pages (*.htm)"},  // stale ones replaced
        {"", ""},
        {"Text (*.txt)|*.txt|", "Text (*.txt)"},  // no empty entry for a trailing bar
        {"Images (*.gif;*.jpg)", "Images (*.gif *.jpg)"},
        {"*.txt", "*.txt (*.txt)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(toQtNameFilters(QString::fromLatin1(c.filter)), QString::fromLatin1(c.qt)) << c.filter;
}

TEST(HostPortValidation, AcceptsHostsWithOptionalPortAndGivesAReasonOtherwise)
{
    for (const char *ok : {"127.0.0.1:8737", "localhost", "example.com:80", "a", "[::1]:8080", "[::1]", "host:65535"})
        EXPECT_TRUE(isValidHostPort(QString::fromLatin1(ok))) << ok;
    for (const char *bad : {"", "host:", ":80", "host:0", "host:65536", "host:99999999999", "http://host",
                            "host:80:90", "-host", "ho st", "::1"}) {
        QString error;
        EXPECT_FALSE(isValidHostPort(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}
