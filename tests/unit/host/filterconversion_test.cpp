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

// Host names follow the DNS limits; a reason never quotes 10,000 characters.
TEST(HostPortValidation, AcceptsHostsWithOptionalPortAndGivesAShortReasonOtherwise)
{
    const QString label63(63, QLatin1Char('a'));
    const QStringList good = {"127.0.0.1:8737", "localhost", "a", "example.com:80", "[::1]:8080", "[::1]", "host:65535",
                              label63 + ".test:80", QStringList(4, label63).join('.').left(253)};
    for (const QString &ok : good)
        EXPECT_TRUE(isValidHostPort(ok)) << ok.toStdString();
    const QStringList refused = {"", "host:", ":80", "host:0", "host:65536", "host:99999999999", "http://host", "host:80:90",
                               "-host", "ho st", "::1", "a..b", QString(64, 'a'), QString(10000, 'a'),
                               QStringList(5, label63).join('.')};
    for (const QString &bad : refused) {
        SCOPED_TRACE(bad.left(80).toStdString());
        QString error;
        EXPECT_FALSE(isValidHostPort(bad, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_LE(error.size(), 200);
    }
}
