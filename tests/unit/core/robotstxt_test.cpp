#include "core/robotstxt.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
const QString Agent = QStringLiteral("Quorvane/0.1 (+http://home.test/)");
}

TEST(RobotsTxt, PicksTheGroupsThatNameUsOrElseTheStarGroups)
{
    const struct {
        const char *what;
        const char *text;
        QStringList allowed;
        QStringList refused;
    } cases[] = {
        {"star group", "User-agent: *\nDisallow: /private\n", {"/", "/public"}, {"/private", "/private/x"}},
        {"our group over the star group",
         "User-agent: *\nDisallow: /\n\nUser-agent: quorvane\nDisallow: /only-this\n",
         {"/", "/other"}, {"/only-this"}},
        {"versioned token, several agents per group, groups merged",
         "User-agent: OtherBot\nUser-Agent: QUORVANE/2.0\nDisallow: /a\n\nuser-agent: Quorvane\ndisallow: /b\n",
         {"/c"}, {"/a", "/b"}},
        {"a longer token is another robot", "User-agent: QuorvaneX\nDisallow: /\n", {"/x"}, {}},
        {"no group for anyone", "Disallow: /\nSitemap: /s.xml\n", {"/x"}, {}},
        {"empty disallow allows", "User-agent: *\nDisallow:\n", {"/x"}, {}},
        {"comments, CR line ends and other lines",
         "# hi\rUser-agent: * # all\rCrawl-delay: 5\rDisallow: /tmp # temp\r", {"/"}, {"/tmp/x"}},
        {"group ends at a user-agent line after rules",
         "User-agent: Quorvane\nDisallow: /a\nUser-agent: other\nDisallow: /b\n", {"/b"}, {"/a"}},
        {"the robots file is always allowed", "User-agent: *\nDisallow: /\n", {"/robots.txt"}, {"/", "/x"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const RobotsTxt robots = RobotsTxt::parse(QString::fromUtf8(c.text), Agent);
        for (const QString &path : c.allowed)
            EXPECT_TRUE(robots.allows(path)) << path.toStdString();
        for (const QString &path : c.refused)
            EXPECT_FALSE(robots.allows(path)) << path.toStdString();
    }
}

TEST(RobotsTxt, LongestMatchWinsAllowWinsTiesPatternsAndEncodingMatch)
{
    const RobotsTxt robots = RobotsTxt::parse(QStringLiteral(
        "User-agent: *\n"
        "Disallow: /shop\n"
        "Allow: /shop/public\n"
        "Disallow: /shop/public/secret\n"
        "Allow: /tie\n"
        "Disallow: /tie\n"
        "Disallow: /*.php$\n"
        "Disallow: /search*q=\n"
        "Disallow: /caf%c3%a9\n"
        "Disallow: /%7Euser\n"
        "Disallow: /a%2fb\n"), Agent);
    const struct {
        const char *path;
        bool allowed;
    } cases[] = {
        {"/shop", false},
        {"/shop/public/page", true},
        {"/shop/public/secret/x", false},
        {"/tie", true},
        {"/index.php", false},
        {"/index.php?x=1", true},  // $ anchors the end
        {"/index.phpx", true},
        {"/search?lang=en&q=x", false},
        {"/search?lang=en", true},
        {"/café", false},          // raw UTF-8 and its escapes are alike
        {"/caf%C3%A9/x", false},
        {"/~user/page", false},    // an escaped unreserved character is decoded
        {"/a/b", true},            // an escaped slash stays escaped
        {"/a%2Fb", false},
        {"http://site.test/shop/x#frag", false},
        {"http://site.test", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(robots.allows(QString::fromUtf8(c.path)), c.allowed);
    }
}

TEST(RobotsTxt, FetchOutcomesAndSizeLimit)
{
    const QString body = QStringLiteral("User-agent: *\nDisallow: /x\n");
    const struct {
        int status;
        bool rootAllowed;
        bool xAllowed;
    } cases[] = {
        {200, true, false}, {404, true, true}, {403, true, true}, {301, true, true},
        {500, false, false}, {503, false, false}, {0, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.status);
        const RobotsTxt robots = RobotsTxt::fromFetch(c.status, body, Agent);
        EXPECT_EQ(robots.allows(QStringLiteral("/")), c.rootAllowed);
        EXPECT_EQ(robots.allows(QStringLiteral("/x")), c.xAllowed);
    }

    // Rules past 500 KiB are not read; a line cut at the limit is dropped.
    QString big = QStringLiteral("User-agent: *\nDisallow: /early\n");
    big += QString(RobotsTxt::MaxBytes - big.size() - 10, u'#') + QStringLiteral("\nDisallow: /late\n");
    const RobotsTxt robots = RobotsTxt::parse(big, Agent);
    EXPECT_FALSE(robots.allows(QStringLiteral("/early")));
    EXPECT_TRUE(robots.allows(QStringLiteral("/late")));
    EXPECT_EQ(RobotsTxt::productToken(Agent), QStringLiteral("Quorvane"));
}

// Many stars on a long path must not take exponential time.
TEST(RobotsTxt, StarsOnLongPathsStayLinear)
{
    const RobotsTxt robots = RobotsTxt::parse(
        QStringLiteral("User-agent: *\nDisallow: /*a*a*a*a*a*a*a*a*a*a*a*a*b$\n"), Agent);
    EXPECT_TRUE(robots.allows(QLatin1Char('/') + QString(20000, u'a')));
}
