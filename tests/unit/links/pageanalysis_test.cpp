// Report rows built from pages: Add Link on the main view and the background
// analysis of the page-queue reader.
#include "links/pageanalysis.h"
#include "support/shellfixture.h"

#include <algorithm>

using namespace quorvane;

namespace {
const QString pageUrl = QStringLiteral("http://site.test/page.htm");

class PageAnalysisTest : public ShellTest {
protected:
    PageAnalysisTest() : m_analysis(m_state, m_host, [] {}) {}

    DocumentPtr parse(const QString &html, const QString &url = pageUrl)
    {
        page(url, html);
        return m_host.web().document(url);
    }

    PageAnalysis m_analysis;
};
}  // namespace

TEST_F(PageAnalysisTest, EachPartOfAPageGivesItsOwnRows)
{
    using Add = void (PageAnalysis::*)(const DocumentPtr &);
    const QString title = QStringLiteral("<tr><td width='100%' bgcolor='#FFFF00'><strong><font face='Arial'>"
                                         "<a href='%1'>%2</a></font></strong></td></tr>");
    const QString description =
        QStringLiteral("<tr><td width='100%' bgcolor='#00FFFF'><small><font face='Arial'>%1</font></small></td></tr>");
    // No closing anchor: the cell ends the link.
    const QString mail = QStringLiteral("<tr><td width='100%' bgcolor='#00FFFF'><font face='Arial'><small>"
                                        "<a href='mailto:a@b.test'>%1</small></font></td></tr>");
    const QString paragraph = QStringLiteral("<tr><td><p>%1</p></td></tr>");
    const QString exact(1000, QLatin1Char('d'));
    const QString half(500, QLatin1Char('a'));
    page("http://site.test/inner.htm", "<title>Inner</title><body><p>kw inner</p></body>");
    page("http://site.test/outer.htm", "<title>Outer</title><frameset><frame src='inner.htm'></frameset>");
    const struct {
        const char *what;
        Add add;
        QStringList words;
        QStringList pages;
        QStringList rows;
    } cases[] = {
        {"title, or the address without one", &PageAnalysis::addTitleRow, {},
         {"<title>Contact us</title><body></body>", "<body>untitled</body>"},
         {title.arg(pageUrl, "Contact us"), title.arg(pageUrl, pageUrl)}},
        {"the first exactly named description, cut when too long", &PageAnalysis::addDescriptionRow, {},
         {"<meta name='Description' content='capital'><meta name='description' content='" + exact + "'>"
          "<meta name='description' content='second'>",
          "<meta name='description' content='" + half + QString(501, QLatin1Char('b')) + "'>",
          "<meta name='Description' content='only capital'>"},
         {description.arg(exact), description.arg(half)}},
        {"a paragraph row per matching word", &PageAnalysis::addParagraphRows, {"phone", "fax", "none"},
         {"<body><p>Call PHONE or Fax</p><div>phone</div><p>other</p><p>fax only</p></body>"},
         {paragraph.arg("Call PHONE or Fax"), paragraph.arg("Call PHONE or Fax"), paragraph.arg("fax only")}},
        {"no words, no paragraph rows", &PageAnalysis::addParagraphRows, {}, {"<body><p>phone</p></body>"}, {}},
        {"e-mail links, repeats kept", &PageAnalysis::addMailtoRows, {},
         {"<body><a href='MailTo:a@b.test'>Write us</a><a href='/x'>x</a><a href='mailto:a@b.test'></a></body>"},
         {mail.arg("Write us"), mail.arg("mailto:a@b.test")}},
        {"linked pictures first, then images; none, no row", &PageAnalysis::addImageRow, {},
         {"<body><img src='one.png'><a href='big.JPG'>b</a><a href='x.htm'>x</a><img src='two.gif'></body>",
          "<body>no pictures</body>"},
         {"<tr><td width=100%> <img src='http://site.test/big.JPG'><img src='http://site.test/one.png'>"
          "<img src='http://site.test/two.gif'></td></tr>"}},
        {"the reader's analysis walks frames at every depth", &PageAnalysis::analysePageInBackground, {"kw"},
         {"<title>Top</title><frameset><frame src='outer.htm'></frameset>"},
         {title.arg(pageUrl, "Top"), title.arg("http://site.test/outer.htm", "Outer"),
          title.arg("http://site.test/inner.htm", "Inner"), paragraph.arg("kw inner")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        m_state.List3.clear();
        m_state.Combo1.list.setItems(c.words);
        for (const QString &page : c.pages)
            (m_analysis.*c.add)(parse(page));
        EXPECT_EQ(m_state.List3.items(), c.rows);
    }
}

TEST_F(PageAnalysisTest, AddLinkAsksPerDocumentAndLeavesTheKeywordBoxEmpty)
{
    page("http://site.test/f1.htm", "<title>F1</title><body><p>phone 1</p><img src='f.png'></body>");
    page("http://site.test/f2.htm", "<title>F2</title><body></body>");
    m_state.Combo1.list.setItems({"mine"});
    m_state.setComboText(m_state.Combo1, "typed");
    m_state.setCollectImages(true);  // a running report asked for images
    answer({"no", "yes"});
    mainView().load(pageUrl, "<title>Top</title><body><p>Phone and fax</p><a href='mailto:me@site.test'>me</a>"
                             "<img src='top.png'><iframe src='f1.htm'></iframe><iframe src='f2.htm'></iframe></body>");
    menu("addlink");

    EXPECT_EQ(dialogs(), QStringList(3, "question:Would You like collect images ?"));
    // Two of the seven words match the paragraph; the frames get no paragraph
    // rows. Images: the top page's because the report asked although answered
    // No, the first frame's because answered Yes.
    const QStringList markers = {">Top</a>", "mailto:me@site.test", "<tr><td><p>Phone and fax</p></td></tr>",
                                 "<tr><td><p>Phone and fax</p></td></tr>", "top.png", ">F1</a>", "f.png", ">F2</a>"};
    const QStringList rows = m_state.List3.items();
    ASSERT_EQ(rows.size(), markers.size()) << qPrintable(rows.join('\n'));
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_TRUE(rows[i].contains(markers[i])) << qPrintable(rows[i]);
    EXPECT_FALSE(m_state.collectImages());
    EXPECT_TRUE(m_state.Combo1.list.isEmpty() && m_state.Combo1.text.isEmpty());
}

TEST_F(PageAnalysisTest, HostileTextCannotBreakOutOfItsRow)
{
    m_state.Combo1.list.setItems({"x"});
    m_state.setCollectImages(true);
    m_analysis.analysePageInBackground(parse("<title>&lt;script&gt;alert(1)&lt;/script&gt;</title>"
                                             "<meta name='description' content='&lt;b onmouseover=x&gt;'>"
                                             "<body><p>x &lt;img src=y onerror=alert(2)&gt;</p>"
                                             "<a href=\"mailto:a'onclick='b\">&lt;i&gt;mail&lt;/i&gt;</a>"
                                             "<a href=\" JavaScript:alert(document.cookie)//mailto:\">mail us</a>"
                                             "<a href=\"data:text/html,mailto:\">mail</a>"
                                             "<img src=\"p.png' onerror='alert(3)\"></body>",
                                             "http://site.test/it's.htm"));
    const QStringList rows = m_state.List3.items();
    for (const QString &row : rows) {
        for (const char *bad : {"<script", "<b ", "<img src=y", "<i>", "'onclick", "' onerror", "it's"})
            EXPECT_FALSE(row.contains(bad)) << qPrintable(row);
        // An address that runs script is no e-mail link, whatever it contains.
        EXPECT_FALSE(row.contains("javascript:", Qt::CaseInsensitive) || row.contains("data:")) << qPrintable(row);
    }
    EXPECT_EQ(std::count_if(rows.cbegin(), rows.cend(), [](const QString &r) { return r.contains("mailto:"); }), 1);
    EXPECT_TRUE(rows.first().contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
}
