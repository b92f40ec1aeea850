#include "host/gumbo/htmlparser.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

using namespace quorvane;

// Readable failure messages.
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString PageUrl = QStringLiteral("http://shop.example.com/dir/page.htm");

DocumentPtr parse(const QString &html)
{
    return parseHtmlDocument(html, PageUrl);
}

// One field of every row: the links' addresses, the elements' tag names.
template <typename Row>
QStringList column(const QVector<Row> &rows, QString Row::*field)
{
    QStringList out;
    for (const Row &row : rows)
        out << row.*field;
    return out;
}

QStringList hrefs(const DocumentPtr &document)
{
    return column(document->links, &HtmlLink::href);
}

// Serves pages by address and records each frame request.
struct FakeFrames final {
    QHash<QString, QString> pages;
    QList<std::pair<QString, int>> requests;

    FrameLoader loader()
    {
        return [this](const QString &url, int depth) -> DocumentPtr {
            requests.append({url, depth});
            if (!pages.contains(url))
                return nullptr;
            return parseHtmlDocument(pages.value(url), url, loader(), depth);
        };
    }
};

}  // namespace

// Web addresses resolve as a browser's DOM gives them; what cannot be
// resolved is kept as written.
TEST(ResolveUrl, FollowsBrowserRules)
{
    const struct {
        QString base;
        const char *relative, *resolved;
    } cases[] = {
        {PageUrl, "//cdn.example.com", "http://cdn.example.com/"},
        {PageUrl, "?q=1", "http://shop.example.com/dir/page.htm?q=1"},
        {PageUrl, "#top", "http://shop.example.com/dir/page.htm#top"},
        {PageUrl, "HTTP://Example.COM:80/a/./b/../c", "http://example.com/a/c"},
        {PageUrl, " my page.htm ", "http://shop.example.com/dir/my%20page.htm"},
        {PageUrl, "http:same-scheme.htm", "http://shop.example.com/dir/same-scheme.htm"},
        {PageUrl, "https:other.example.com", "https://other.example.com/"},
        {PageUrl, "..\\back\\slash.htm", "http://shop.example.com/back/slash.htm"},
        {PageUrl, "\n/split\t/path.htm\r", "http://shop.example.com/split/path.htm"},
        {PageUrl, "caf\u00e9.htm", "http://shop.example.com/dir/caf%C3%A9.htm"},
        {PageUrl, "http://b\u00fccher.example/", "http://xn--bcher-kva.example/"},
        {"http://shop.example.com:8737/a/b.htm", "c.htm", "http://shop.example.com:8737/a/c.htm"},
        {"https://shop.example.com:443", "", "https://shop.example.com/"},
        {PageUrl + "#old", " ", "http://shop.example.com/dir/page.htm"},
        {"file:///home/me/list.htm", "next.htm", "file:///home/me/next.htm"},
        {PageUrl, "javascript:void(0)", "javascript:void(0)"},
        {PageUrl, "MAILTO:a@b.c", "mailto:a@b.c"},
        {PageUrl, "data:text/html,<b>x</b>", "data:text/html,<b>x</b>"},
        {PageUrl, "http://bad host/", "http://bad host/"},
        {"about:blank", "relative.htm", "relative.htm"},
        {"about:blank", "#a", "about:blank#a"},
        {QString(), "relative.htm", "relative.htm"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(resolveUrl(c.base, QString::fromUtf8(c.relative)), QString::fromUtf8(c.resolved))
            << c.relative << " on " << c.base.toStdString();
}

TEST(HtmlParser, ResolvesAgainstTheFirstBaseHrefUnlessItIsAScript)
{
    // The base applies to links before it too, and only the first one counts.
    const auto document = parse(QStringLiteral(R"html(<a href="before.htm">b</a><base href="/catalog/">
        <base href="http://ignored.example.org/"><a href="item.htm">i</a>
        <img src="pics/item.gif"><link rel="stylesheet" href="shop.css">)html"));
    EXPECT_EQ(hrefs(document), (QStringList{"http://shop.example.com/catalog/before.htm",
                                            "http://shop.example.com/catalog/item.htm"}));
    EXPECT_EQ(document->images, QVector<QString>{"http://shop.example.com/catalog/pics/item.gif"});
    EXPECT_TRUE(column(document->all, &HtmlElement::href).contains("http://shop.example.com/catalog/shop.css"));
    EXPECT_EQ(hrefs(parse(QStringLiteral(R"html(<base href="javascript:alert(1)"><a href="x.htm">x</a>)html"))),
              QStringList{"http://shop.example.com/dir/x.htm"});
}

TEST(HtmlParser, LinksAreAnchorsAndAreasInOrderWithCollapsedText)
{
    const auto document = parse(QStringLiteral(
        "<a href='a.htm'>\n   Cheap \t <b>link</b>\n exchange  <br>  second&nbsp;line"
        "<script>var hidden = 1;</script><style>a { color: red }</style> </a>"
        "<a href='mailto:Sales@Example.com?subject=Hi there'> <img src='button.gif' alt='Go'> </a>"
        "<a name='anchor-without-href'>not a link</a><map><area href='  \t '></map>"
        "<a href='two.htm'>one<br><br>two</a>"));
    EXPECT_EQ(hrefs(document), (QStringList{"http://shop.example.com/dir/a.htm",
                                            "mailto:Sales@Example.com?subject=Hi there", PageUrl,
                                            "http://shop.example.com/dir/two.htm"}));
    const QString cheap = QStringLiteral("Cheap link exchange\nsecond\u00a0line");
    EXPECT_EQ(column(document->links, &HtmlLink::outerText), (QStringList{cheap, "", "", "one\n\ntwo"}));
    EXPECT_EQ(document->images, QVector<QString>{"http://shop.example.com/dir/button.gif"});
    // The A entries of all carry the same text as the links.
    QStringList texts;
    for (const HtmlElement &element : document->all) {
        if (element.tagName == "A")
            texts << element.outerText;
    }
    EXPECT_EQ(texts, (QStringList{cheap, "", "not a link", "one\n\ntwo"}));
}

TEST(HtmlParser, TextIsCollapsedTitleIsTheFirstOneAndDomainTheLowerCaseHost)
{
    const auto document = parse(QStringLiteral("<title>\n  Quorvane   &amp; friends\t</title><title>Second</title>"
                                               "<p>Gr\u00fc\u00dfe  <i>aus</i>\t K\u00f6ln &amp; <b> \U0001F600 </b>Bonn</p>"));
    EXPECT_EQ(document->title, "Quorvane & friends");
    ASSERT_EQ(document->all.size(), 8);
    EXPECT_EQ(document->all[5].outerText, QStringLiteral("Gr\u00fc\u00dfe aus K\u00f6ln & \U0001F600 Bonn"));
    EXPECT_EQ(parse("<p>no title</p>")->title, QString());

    // Many nodes, each ending in a space the next one's text follows.
    const QString text = parse("<p>" + QString("<b>w</b> ").repeated(5000))->all[3].outerText;
    EXPECT_EQ(text.size(), 2 * 5000 - 1);
    EXPECT_TRUE(text.startsWith("w w w"));

    // The domain is the lower-case host.
    const struct {
        const char *url, *domain;
    } domains[] = {{"http://WWW.Example.COM:8737/x.htm", "www.example.com"},
                   {"https://127.0.0.1/", "127.0.0.1"},
                   {"file:///home/me/page.htm", ""},
                   {"about:blank", ""}};
    for (const auto &d : domains)
        EXPECT_EQ(parseHtmlDocument({}, QString::fromLatin1(d.url))->domain, QString::fromLatin1(d.domain)) << d.url;
}

TEST(HtmlParser, ListsEveryElementWithTheFieldsTheLogicReads)
{
    const auto document = parse(QStringLiteral(R"html(<!DOCTYPE html><html><head>
        <meta name="description" content="Hand made   soap"><meta http-equiv="refresh" content="5; url=next.htm">
        <script src="/js/shop.js"></script></head><body><div>not captured</div>
        <p>First   <a href="x.htm">paragraph</a><p>Second<br>line</p>
        <iframe src="ad.htm"></iframe><x-widget>custom</x-widget></body></html>)html"));
    EXPECT_EQ(column(document->all, &HtmlElement::tagName),
              (QStringList{"HTML", "HEAD", "META", "META", "SCRIPT", "BODY", "DIV", "P", "A", "P", "BR", "IFRAME", "X-WIDGET"}));
    const QVector<HtmlElement> &all = document->all;
    EXPECT_EQ(all[2].name, "description");
    EXPECT_EQ(all[2].content, "Hand made   soap");
    EXPECT_EQ(all[3].name, QString());
    EXPECT_EQ(all[3].content, "5; url=next.htm");  // as written, not resolved
    EXPECT_EQ(all[4].src, "http://shop.example.com/js/shop.js");
    EXPECT_EQ(all[6].outerText, QString());
    EXPECT_EQ(all[7].outerText, "First paragraph");
    EXPECT_EQ(all[8].href, "http://shop.example.com/dir/x.htm");
    EXPECT_EQ(all[9].outerText, "Second\nline");
    EXPECT_EQ(all[11].src, "http://shop.example.com/dir/ad.htm");
    EXPECT_EQ(document->bodyTagName, "BODY");

    // Foreign and template content follow the DOM: no links there.
    const auto foreign = parse(QStringLiteral("<svg><foreignObject></foreignObject><a href='svg.htm'>s</a></svg>"
                                              "<template><a href='hidden.htm'>t</a></template>"
                                              "\u00fc\u00df<my-\u00e9l\u00e9ment>text</my-\u00e9l\u00e9ment>"));
    EXPECT_EQ(column(foreign->all, &HtmlElement::tagName),
              (QStringList{"HTML", "HEAD", "BODY", "svg", "foreignObject", "a", "TEMPLATE", QStringLiteral("MY-\u00e9L\u00e9MENT")}));
    EXPECT_TRUE(foreign->links.isEmpty());
}

TEST(HtmlParser, FramesetLoadsFramesInOrder)
{
    FakeFrames web;
    web.pages["http://shop.example.com/dir/left.htm"] = "<a href='l1.htm'>L1</a>";
    web.pages["http://shop.example.com/right.htm"] = "<a href='r1.htm'>R1</a><iframe src='inner.htm'></iframe>";
    web.pages["http://shop.example.com/inner.htm"] = "<a href='deep.htm'>D</a>";
    const auto document = parseHtmlDocument(QStringLiteral(R"html(<html><frameset cols="20%,*"><frame src="left.htm">
        <frameset rows="50%,*"><frame src="/right.htm"><frame name="empty"></frameset>
        <noframes><a href="noframes.htm">old browsers</a></noframes></frameset></html>)html"),
        PageUrl, web.loader());
    EXPECT_EQ(document->bodyTagName, "FRAMESET");
    ASSERT_EQ(document->frames.size(), 3);
    ASSERT_TRUE(document->frames[0] && document->frames[1] && document->frames[2]);
    EXPECT_EQ(hrefs(document->frames[0]), QStringList{"http://shop.example.com/dir/l1.htm"});
    EXPECT_EQ(hrefs(document->frames[1]), QStringList{"http://shop.example.com/r1.htm"});
    // A frame without src shows an empty about:blank document.
    EXPECT_EQ(document->frames[2]->url, "about:blank");
    EXPECT_TRUE(document->frames[2]->links.isEmpty());
    // The iframe of the second frame comes through that frame's own document.
    ASSERT_EQ(document->frames[1]->frames.size(), 1);
    ASSERT_TRUE(document->frames[1]->frames[0]);
    EXPECT_EQ(hrefs(document->frames[1]->frames[0]), QStringList{"http://shop.example.com/deep.htm"});
    EXPECT_EQ(web.requests, (QList<std::pair<QString, int>>{{"http://shop.example.com/dir/left.htm", 1},
                                                            {"http://shop.example.com/right.htm", 1},
                                                            {"http://shop.example.com/inner.htm", 2}}));

    // Without a loader, or without the page, a frame stays null; about:blank needs no loading.
    const QString html = "<iframe src='a.htm'></iframe><iframe></iframe>";
    const auto unloaded = parse(html);
    ASSERT_EQ(unloaded->frames.size(), 2);
    EXPECT_FALSE(unloaded->frames[0]);
    EXPECT_TRUE(unloaded->frames[1]);
    web.requests.clear();
    const auto missing = parseHtmlDocument(html, PageUrl, web.loader());
    ASSERT_EQ(missing->frames.size(), 2);
    EXPECT_FALSE(missing->frames[0]);
    EXPECT_EQ(web.requests.size(), 1);
}

TEST(HtmlParser, SelfFramingPagesStopAtTheDepthLimit)
{
    FakeFrames web;
    web.pages[PageUrl] = "<frameset><frame src='page.htm'></frameset>";
    const auto document = parseHtmlDocument(web.pages[PageUrl], PageUrl, web.loader());
    int levels = 0;
    for (DocumentPtr current = document; current && !current->frames.isEmpty() && current->frames[0]; ++levels)
        current = current->frames[0];
    EXPECT_EQ(levels, MaxFrameDepth);
    ASSERT_EQ(web.requests.size(), MaxFrameDepth);
    EXPECT_EQ(web.requests.back().second, MaxFrameDepth);

    // Starting deeper leaves fewer levels.
    web.requests.clear();
    parseHtmlDocument(web.pages[PageUrl], PageUrl, web.loader(), MaxFrameDepth - 2);
    EXPECT_EQ(web.requests.size(), 2);

    // Ten frames of itself on every level would be 10^8 documents.
    web.requests.clear();
    web.pages[PageUrl] = "<frameset>" + QString("<frame src='page.htm'>").repeated(10) + "</frameset>";
    EXPECT_EQ(parseHtmlDocument(web.pages[PageUrl], PageUrl, web.loader())->frames.size(), 10);
    EXPECT_LE(web.requests.size(), 1000);
}

TEST(HtmlParser, DeepNestingDoesNotOverflow)
{
    const int depth = 100000;
    const auto document = parse(QString("<div>").repeated(depth) + "<p><a href='deep.htm'>deep link</a></p>"
                                + QString("</div>").repeated(depth) + "<a href='after.htm'>after</a>");
    EXPECT_EQ(hrefs(document), (QStringList{"http://shop.example.com/dir/deep.htm",
                                            "http://shop.example.com/dir/after.htm"}));
    EXPECT_EQ(document->links[0].outerText, "deep link");

    // Inline, table and foreign nesting, and paragraphs that each hold all the
    // text below them; raw text still ends at its end tag on a deep stack.
    for (const QString &unit : {QString("<span>"), QString("<table><tr><td>"), QString("<svg><g>"),
                                QString("<p><table><td>word ")}) {
        const auto nested = parse(unit.repeated(depth / 2)
                                  + "<p><script>var s = \"<a href='no.htm'>\";</script><a href='x.htm'>x</a>");
        EXPECT_EQ(hrefs(nested), QStringList{"http://shop.example.com/dir/x.htm"}) << qPrintable(unit);
    }
}

TEST(HtmlParser, HostileTagsKeepTheLinks)
{
    // Unclosed formatting tags re-opened in every paragraph.
    QString formatting;
    for (int i = 0; i < 20000; ++i)
        formatting += QString("<p><b id=%1><a href='p%1.htm'>%1</a>").arg(i);
    const auto reopened = parse(formatting);
    EXPECT_EQ(reopened->links.size(), 20000);
    EXPECT_EQ(reopened->links.last().outerText, "19999");
    EXPECT_LT(reopened->all.size(), 20000 * 16);

    // Thousands of attributes before the href of a tag.
    QString attributes = "<a";
    for (int i = 0; i < 100000; ++i)
        attributes += QString(" data-%1").arg(i);
    EXPECT_EQ(hrefs(parse(attributes + " href='crowded.htm' name='n'>crowded</a>")),
              QStringList{"http://shop.example.com/dir/crowded.htm"});
}

// The page fuzzer's corpus, replayed on every run so that a crash found once
// stays fixed; each page frames itself as in the fuzzer.
TEST(HtmlParser, EveryCorpusPageParsesWithinItsBounds)
{
    const QDir dir(QStringLiteral(QUORVANE_SOURCE_DIR "/fuzz/corpus/htmlparser"));
    const QStringList names = dir.entryList(QDir::Files);
    EXPECT_FALSE(names.isEmpty());
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QString html = QString::fromUtf8(file.readAll());
        const FrameLoader frames = [&](const QString &url, int depth) {
            return depth <= 2 ? parseHtmlDocument(html, url, {}, depth) : nullptr;
        };
        const auto document = parseHtmlDocument(html, PageUrl, frames);
        ASSERT_TRUE(document) << name.toStdString();
        for (const HtmlElement &element : document->all)
            EXPECT_LE(element.outerText.size(), html.size()) << name.toStdString();
    }
}

TEST(HtmlParser, SurvivesGarbage)
{
    QString noise;
    for (int i = 0; i < 100000; ++i)
        noise += QChar(char16_t((i * 7919) % 0xFFFF));  // lone surrogates included
    const struct {
        QString html;
        qsizetype links;
    } cases[] = {
        {noise, 0},
        {QString(QChar(0)).repeated(1000) + "<a href=\"n" + QChar(0) + "ul.htm\">t" + QChar(0) + "ext</a>", 1},
        {"<a href=\"never-closed.htm", 0},
        {"<a href='ok.htm'>ok</a><!-- unterminated comment <a href='no.htm'>", 1},
        {"<title>open title<a href='no.htm'>", 0},
        {"<script>if (a < b) { document.write('<a href=x>') }", 0},
        {"</></a></p></br><br/><p/>&#0;&#xD800;&#99999999;&unknown;<", 0},
        {QString("<").repeated(100000), 0},
        {QString("<a ").repeated(10000), 0},
    };
    for (const auto &c : cases) {
        const auto document = parse(c.html);
        ASSERT_TRUE(document);
        EXPECT_EQ(document->bodyTagName, "BODY");
        EXPECT_EQ(document->links.size(), c.links) << qPrintable(c.html.left(60));
    }
    EXPECT_EQ(parse(cases[4].html)->title, "open title<a href='no.htm'>");
}
