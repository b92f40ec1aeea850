#include "partners/pagefindings.h"
#include "partners/verdict.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

const QString Page = QStringLiteral("http://partner.example/links.htm");

QList<OwnSite> mySites()
{
    QString error;
    return {*parseOwnSite(QStringLiteral("mysite.example"), &error)};
}

// Every verdict from a page as a server sends it: the markup and the checks
// of status, headers, rel, anchor, robots and page signs working together.
TEST(PartnerVerdict, FromTheAnswer)
{
    struct Case {
        const char *name;
        int status;
        const char *body;
        const char *header;       // "Name: value" or empty
        const char *finalAddress; // empty: the page itself
        const char *anchor;       // expected
        Verdict verdict;
    };
    const Case cases[] = {
        {"followed link", 200, "<p><a href='https://www.mysite.example/'>My site</a></p>", "", "", "My site", Verdict::Live},
        {"link on http without www", 200, "<a href='http://mysite.example/shop'>x</a>", "", "", "", Verdict::Live},
        {"relative link is the partner's own", 200, "<a href='/mysite.example'>x</a>", "", "", "", Verdict::Missing},
        {"other site only", 200, "<a href='http://othersite.example/'>x</a>", "", "", "", Verdict::Missing},
        {"look-alike host", 200, "<a href='http://mysite.example.evil.test/'>x</a>", "", "", "", Verdict::Missing},
        {"nofollow", 200, "<a rel='nofollow' href='http://mysite.example/'>x</a>", "", "", "", Verdict::NotFollowed},
        {"sponsored in capitals", 200, "<a rel='External SPONSORED' href='http://mysite.example/'>x</a>", "", "", "", Verdict::NotFollowed},
        {"ugc", 200, "<a rel='ugc' href='http://mysite.example/'>x</a>", "", "", "", Verdict::NotFollowed},
        {"followed link beats a nofollow one", 200,
         "<a rel='nofollow' href='http://mysite.example/a'>x</a><a href='http://mysite.example/b'>x</a>", "", "", "", Verdict::Live},
        {"robots meta nofollow", 200, "<meta name='robots' content='index, nofollow'><a href='http://mysite.example/'>x</a>", "", "", "", Verdict::NotFollowed},
        {"anchor changed", 200, "<a href='http://mysite.example/'>Cheap pills</a>", "", "", "My  site", Verdict::AnchorChanged},
        {"anchor differs in case and blanks only", 200, "<a href='http://mysite.example/'> my\n SITE </a>", "", "", "My site", Verdict::Live},
        {"image link matched by alt", 200, "<a href='http://mysite.example/'><img src='b.png' alt='My site'></a>", "", "", "My site", Verdict::Live},
        {"meta noindex", 200, "<meta name='ROBOTS' content='NOINDEX'><a href='http://mysite.example/'>x</a>", "", "", "", Verdict::Blocked},
        {"meta none", 200, "<meta name='robots' content='none'><a href='http://mysite.example/'>x</a>", "", "", "", Verdict::Blocked},
        {"X-Robots-Tag header", 200, "<a href='http://mysite.example/'>x</a>", "X-Robots-Tag: googlebot: noindex", "", "", Verdict::Blocked},
        {"noindex page without the link is missing", 200, "<meta name='robots' content='noindex'>", "", "", "", Verdict::Missing},
        {"404", 404, "<a href='http://mysite.example/'>x</a>", "", "", "", Verdict::Gone},
        {"410", 410, "", "", "", "", Verdict::Gone},
        {"403", 403, "", "", "", "", Verdict::Unreachable},
        {"redirect off the site", 200, "<a href='http://mysite.example/'>x</a>", "", "http://elsewhere.example/", "", Verdict::Moved},
        {"redirect to www of the same site", 200, "<a href='http://mysite.example/'>x</a>", "", "http://www.partner.example/l", "", Verdict::Live},
        {"parked", 200, "<title>partner.example is for sale</title><p>This domain is for sale! Buy this domain today.</p>", "", "", "", Verdict::Parked},
        {"soft 404", 200, "<title>Oops</title><p>Sorry, the page you requested could not be found.</p>", "", "", "", Verdict::Soft404},
        {"soft 404 by title", 200, "<title>404 - Not Found</title><a href='http://mysite.example/'>x</a>", "", "", "", Verdict::Soft404},
        {"base href makes a relative link ours", 200, "<base href='http://mysite.example/'><a href='shop.htm'>x</a>", "", "", "", Verdict::Live},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FetchReply reply;
        reply.answered = true;
        reply.httpStatus = c.status;
        reply.body = QString::fromUtf8(c.body);
        reply.finalAddress = *c.finalAddress ? QString::fromUtf8(c.finalAddress) : Page;
        if (*c.header) {
            const QByteArray header(c.header);
            const qsizetype colon = header.indexOf(':');
            reply.headers.append({header.left(colon), header.mid(colon + 1).trimmed()});
        }
        const CheckRecord record = readFindings(reply, Page, mySites(), QString::fromUtf8(c.anchor));
        EXPECT_EQ(verdictName(deriveVerdict(record)), verdictName(c.verdict));
    }
}

// When several findings apply, the one earlier in the order wins.
TEST(PartnerVerdict, MostSeriousWins)
{
    struct Case {
        const char *name;
        CheckRecord record;
        Verdict verdict;
    };
    CheckRecord fine;
    fine.answered = true;
    fine.httpStatus = 200;
    fine.linkFound = true;
    auto with = [&](auto change) {
        CheckRecord r = fine;
        change(r);
        return r;
    };
    const Case cases[] = {
        {"nothing wrong", fine, Verdict::Live},
        {"no answer", with([](CheckRecord &r) { r.answered = false; r.linkFound = false; }), Verdict::Unreachable},
        {"gone beats moved", with([](CheckRecord &r) { r.httpStatus = 410; r.movedOffSite = true; }), Verdict::Gone},
        {"moved beats parked", with([](CheckRecord &r) { r.movedOffSite = true; r.parked = true; }), Verdict::Moved},
        {"parked beats soft 404", with([](CheckRecord &r) { r.parked = true; r.soft404 = true; }), Verdict::Parked},
        {"missing beats blocked", with([](CheckRecord &r) { r.linkFound = false; r.robots = {"noindex"}; }), Verdict::Missing},
        {"script only", with([](CheckRecord &r) { r.linkFound = false; r.scriptOnly = true; }), Verdict::ScriptOnly},
        {"robots.txt beats nofollow", with([](CheckRecord &r) { r.robots = {"robots.txt"}; r.rel = {"nofollow"}; }), Verdict::Blocked},
        {"nofollow beats anchor", with([](CheckRecord &r) { r.rel = {"ugc"}; r.anchorMatches = false; }), Verdict::NotFollowed},
        {"5xx after retries", with([](CheckRecord &r) { r.httpStatus = 503; }), Verdict::Unreachable},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(verdictName(deriveVerdict(c.record)), verdictName(c.verdict));
    }
    for (const QString &name : verdictNames())
        EXPECT_EQ(verdictName(*verdictFromName(name)), name);
}

// Hostile anchor text is kept as text: it never opens markup of its own.
TEST(PartnerVerdict, AnchorTextIsText)
{
    FetchReply reply = {};
    reply.answered = true;
    reply.httpStatus = 200;
    reply.body = QStringLiteral("<a href='http://mysite.example/'>&lt;script&gt;alert(1)&lt;/script&gt;<b>bold</b></a>");
    const CheckRecord record = readFindings(reply, Page, mySites(), {});
    EXPECT_EQ(record.anchorText, QStringLiteral("<script>alert(1)</script>bold"));
}

TEST(PartnerSites, EntriesAndMatching)
{
    struct Case {
        const char *entry;
        const char *link;
        bool matches;
    };
    const Case cases[] = {
        {"mysite.example", "https://www.mysite.example/any/page?x=1", true},
        {"www.mysite.example", "http://mysite.example", true},
        {"MySite.Example", "http://mysite.example/", true},
        {"mysite.example", "ftp://mysite.example/", false},
        {"mysite.example", "http://notmysite.example/", false},
        {"mysite.example:8080", "http://mysite.example:8080/", true},
        {"mysite.example:8080", "http://mysite.example/", false},
        {"https://mysite.example/shop/", "http://www.mysite.example/shop", true},
        {"https://mysite.example/shop/", "http://mysite.example/", false},
        {"https://mysite.example/", "http://mysite.example/other", true},  // a root address is the whole site
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " / " + c.link);
        QString error;
        const auto entry = parseOwnSite(QString::fromUtf8(c.entry), &error);
        ASSERT_TRUE(entry) << error.toStdString();
        EXPECT_EQ(entry->matches(QUrl(QString::fromUtf8(c.link))), c.matches);
    }
    for (const char *bad : {"", "   ", "my site", "javascript:alert(1)", "ftp://mysite.example/", "-bad-.example",
                            "mysite.example/some/page", "http://user:pw@mysite.example/"}) {
        SCOPED_TRACE(bad);
        QString error;
        EXPECT_FALSE(parseOwnSite(QString::fromUtf8(bad), &error));
        EXPECT_FALSE(error.isEmpty());
    }
    for (const char *bad : {"", "mysite.example", "javascript:alert(1)", "file:///etc/passwd", "http://"}) {
        SCOPED_TRACE(bad);
        QString error;
        EXPECT_FALSE(parsePartnerPage(QString::fromUtf8(bad), &error));
        EXPECT_FALSE(error.isEmpty());
    }
}

}  // namespace
}  // namespace quorvane
