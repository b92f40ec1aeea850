#include "host/qt/filefilter.h"
#include "host/qt/hostport.h"

#include <gtest/gtest.h>

using quorvane::isValidHostPort;
using quorvane::toQtNameFilters;

TEST(FileFilterConversion, PairsBecomeQtNameFilters)
{
    EXPECT_EQ(toQtNameFilters(QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf")),
              QStringLiteral("HTML file (*.htm *.html);;Text File (*.txt *.rtf)"));
    EXPECT_EQ(toQtNameFilters(QStringLiteral("Text (*.txt)|*.txt")), QStringLiteral("Text (*.txt)"));
}

TEST(FileFilterConversion, PatternsAfterTheBarWinOverTheDescription)
{
    // A description without parentheses gets them; stale ones are replaced.
    EXPECT_EQ(toQtNameFilters(QStringLiteral("All files|*.*")), QStringLiteral("All files (*.*)"));
    EXPECT_EQ(toQtNameFilters(QStringLiteral("Pages (htm)|*.htm")), QStringLiteral("Pages (*.htm)"));
}

TEST(FileFilterConversion, DegenerateFilters)
{
    EXPECT_EQ(toQtNameFilters(QString()), QString());
    // A trailing bar or a lone description must not produce empty entries.
    EXPECT_EQ(toQtNameFilters(QStringLiteral("Text (*.txt)|*.txt|")), QStringLiteral("Text (*.txt)"));
    EXPECT_EQ(toQtNameFilters(QStringLiteral("Images (*.gif;*.jpg)")), QStringLiteral("Images (*.gif *.jpg)"));
    EXPECT_EQ(toQtNameFilters(QStringLiteral("*.txt")), QStringLiteral("*.txt (*.txt)"));
}

TEST(HostPortValidation, AcceptsHostsWithOptionalPort)
{
    for (const char *ok : {"127.0.0.1:8737", "localhost", "example.com:80", "a", "[::1]:8080", "[::1]", "host:65535"})
        EXPECT_TRUE(isValidHostPort(QString::fromLatin1(ok))) << ok;
}

TEST(HostPortValidation, RejectsMalformedValuesWithAReason)
{
    for (const char *bad : {"", "host:", ":80", "host:0", "host:65536", "host:99999999999", "http://host",
                            "host:80:90", "-host", "ho st", "::1"}) {
        QString error;
        EXPECT_FALSE(isValidHostPort(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}
