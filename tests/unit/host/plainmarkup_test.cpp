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
    const struct {
        const char *html;
        bool plain;
    } cases[] = {
        {"<!DOCTYPE html><html><head><title>Links &amp; more</title><meta name=robots content='NoIndex, follow'>"
         "<link rel='Canonical' href='/c'></head><body><h2>Second</h2><h1>First <b>one</b></h1>"
         "<p>Text <a href='http://mysite.example/' rel='Nofollow sponsored'>My <i>site</i></a> end.</p></body></html>",
         true},
        {"<base href='http://other.test/x/'><p><a href=y.htm>rel</a><a href='#top'></a>", true},
        {"<ul><li>one<li>two <a href=/a><img alt=' Logo  '> <img alt=second></a></ul>text &#169; &#x41;", true},
        {"<p>a<b>b<p>c</b>d</p>e<!-- comment -->f", true},
        {"<div><span>a</div>b</span>c</p>d", true},
        {"<p>x</p><noscript><a href=/hidden>hidden</a><p>no</p></noscript><a href=/shown>shown</a>", true},
        {"<a href=1>x</a>y<a href=2>z", true},
        {"<a href=1>x<a href=2>y</a>", true},
        {"<h1>a<h2>b</h1>c</h2>", true},
        {"<script>var s = '<a href=/no>';</script><style>a{}</style><title> </title><title>Second</title>", true},
        {"<p>line\r\none\rtwo</p><a href='x\r\ny'>a\r\nb</a>", true},
        {"<b><i>x</b>y</i>z", true},
        {"<b>1<b>2<b>3<b>4</p>x", true},
        {"<area href=/map alt=' Map ' rel=nofollow><p>R&amp;D &lt;3&gt;", true},
        // Constructs with rules of their own go to the full parser.
        {"<table><tr><td><a href=/t>t</a></table>", false},
        {"<p>AT&T</p>", false},
        {"<p>&copy 2024</p>", false},
        {"<a href='/a?x=1&y=2'>q</a>", false},
        {"<a href=1><div>x</a>y</div>", false},
        {"<p><a href=1>x<p>y", false},
        {"<svg><a href=/s>s</a></svg>", false},
        {"<script><!-- document.write('</script>') --></script>", false},
        {"<p>a</p><body class=x>", false},
        {"<form><input name=q></form>", false},
        {"<p>x</br>y", false},
        {"<head><noscript><a href=/n>n</a></noscript></head>", false},
        {"<!-->x", false},
        {"<p>unclosed <a href='/x", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.html);
        std::string why;
        const std::optional<bool> result = agrees(QString::fromUtf8(c.html), &why);
        EXPECT_EQ(result.has_value(), c.plain);
        if (result) {
            EXPECT_TRUE(*result) << why;
        }
    }
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
