// The one-pass reading of plain markup gives what the full parser gives, and
// leaves every page it cannot read exactly to the full parser.
#include "host/gumbo/linkscan.h"
#include "host/gumbo/plainmarkup.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace quorvane;

namespace {

std::string describe(const MarkupScan &s)
{
    QString out = QStringLiteral("title=[%1] heading=[%2] canonical=[%3] robots=[%4] text=[%5]")
                      .arg(s.title, s.heading, s.canonical, s.robotsMeta.join(u','), s.text);
    for (const ScannedLink &l : s.links)
        out += QStringLiteral("\n  link %1 rel=[%2] text=[%3] alt=[%4]").arg(l.href, l.rel.join(u' '), l.text, l.imageAlt);
    return out.toStdString();
}

const QString Page = QStringLiteral("http://partner.test/dir/page.htm");

// nullopt when the one-pass reader declined the page, else whether it agreed.
std::optional<bool> agrees(const QString &html, std::string *why)
{
    const std::optional<MarkupScan> plain = htmlparser::scanPlainMarkup(html, Page);
    if (!plain)
        return std::nullopt;
    const std::string fast = describe(*plain);
    const std::string full = describe(scanMarkupFully(html, Page));
    if (fast == full)
        return true;
    *why = "one pass:\n" + fast + "\nfull parser:\n" + full;
    return false;
}

TEST(PlainMarkup, ReadsPlainPagesAsTheFullParserDoesAndDeclinesTheRest)
{
    const auto expectRead = [](const char *html, bool plain) {
        SCOPED_TRACE(html);
        std::string why;
        const std::optional<bool> result = agrees(QString::fromUtf8(html), &why);
        EXPECT_EQ(result.has_value(), plain);
        if (result) {
            EXPECT_TRUE(*result) << why;
        }
    };
    for (const char *html : {
             "<!DOCTYPE html><html><head><title>Links &amp; more</title><meta name=robots content='NoIndex, follow'>"
             "<link rel='Canonical' href='/c'></head><body><h2>Second</h2><h1>First <b>one</b></h1>"
             "<p>Text <a href='http://mysite.example/' rel='Nofollow sponsored'>My <i>site</i></a> end.</p></body></html>",
             "<base href='http://other.test/x/'><p><a href=y.htm>rel</a><a href='#top'></a>",
             "<ul><li>one<li>two <a href=/a><img alt=' Logo  '> <img alt=second></a></ul>text &#169; &#x41;",
             "<p>a<b>b<p>c</b>d</p>e<!-- comment -->f", "<div><span>a</div>b</span>c</p>d",
             "<p>x</p><noscript><a href=/hidden>hidden</a><p>no</p></noscript><a href=/shown>shown</a>",
             "<a href=1>x</a>y<a href=2>z", "<a href=1>x<a href=2>y</a>", "<h1>a<h2>b</h1>c</h2>",
             "<script>var s = '<a href=/no>';</script><style>a{}</style><title> </title><title>Second</title>",
             "<p>line\r\none\rtwo</p><a href='x\r\ny'>a\r\nb</a>", "<b><i>x</b>y</i>z", "<b>1<b>2<b>3<b>4</p>x",
             "<area href=/map alt=' Map ' rel=nofollow><p>R&amp;D &lt;3&gt;"})
        expectRead(html, true);
    // Constructs with rules of their own go to the full parser.
    for (const char *html : {"<table><tr><td><a href=/t>t</a></table>", "<p>AT&T</p>", "<p>&copy 2024</p>",
                             "<a href='/a?x=1&y=2'>q</a>", "<a href=1><div>x</a>y</div>", "<p><a href=1>x<p>y",
                             "<svg><a href=/s>s</a></svg>", "<script><!-- document.write('</script>') --></script>",
                             "<p>a</p><body class=x>", "<form><input name=q></form>", "<p>x</br>y",
                             "<head><noscript><a href=/n>n</a></noscript></head>", "<!-->x", "<p>unclosed <a href='/x"})
        expectRead(html, false);
    const QString withNul = QStringLiteral("<p>a") + QChar(0) + QStringLiteral("b</p>");
    EXPECT_FALSE(htmlparser::scanPlainMarkup(withNul, Page));
}

// Random tag soup from pieces of both kinds: whatever the one-pass reader
// accepts, it must read as the full parser does.
TEST(PlainMarkup, AgreesWithTheFullParserOnRandomMarkup)
{
    const char *pieces[] = {
        "<p>", "</p>", "<div>", "</div>", "<span>", "</span>", "<b>", "</b>", "<i>", "</i>", "<em class=x>",
        "</em>", "<a href=/one>", "<a href='http://mysite.example/' rel=nofollow>", "<a name=n>", "</a>",
        "<h1>", "</h1>", "<h2>", "</h2>", "<h3>", "</h3>", "<ul>", "</ul>", "<li>", "</li>", "<ol>", "</ol>",
        "<br>", "<img alt=pic>", "<hr>", "<noscript>", "</noscript>", "<title>T &amp; t</title>",
        "<meta name=robots content=noindex>", "<link rel=canonical href=/canon>", "<base href=/base/>",
        "<!-- c -->", "text", " ", "\n", "more words", "&amp;", "&nbsp;", "&#65;", "<pre>", "</pre>",
        "<section>", "</section>", "</body>", "<body>", "<head>", "</head>", "<html>", "</html>", "<table>",
        "<td>", "<font color=red>", "</font>", "<small>", "</small>", "<u>", "</u>", "<script>x<y</script>",
        "<area href=/area alt=A>", "<center>", "</center>", "<label>", "</label>", "<strong>", "</strong>",
        "<P>", "<A HREF=/UP REL=UGC>", "</A>", "<a href='/q?a=1&amp;b=2' rel=\"nofollow ugc\">", "&quot;", "a < b",
        "<wbr>", "<title>Body title</title>", "<li><div>", "<b><a href=/two>", "<meta name=GoogleBot content=none>",
    };
    constexpr int Documents = 3000;
    QRandomGenerator random(20261207);
    int accepted = 0;
    for (int d = 0; d < Documents; ++d) {
        QString html;
        const int count = 1 + int(random.bounded(24));
        for (int k = 0; k < count; ++k)
            html += QString::fromUtf8(pieces[random.bounded(int(std::size(pieces)))]);
        std::string why;
        const std::optional<bool> result = agrees(html, &why);
        if (!result)
            continue;
        ++accepted;
        ASSERT_TRUE(*result) << html.toStdString() << "\n" << why;
    }
    // Enough of them take the one pass for the comparison to mean something.
    EXPECT_GT(accepted, Documents / 6);
}

}  // namespace
