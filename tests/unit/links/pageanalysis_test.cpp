// Report rows built from pages: Add Link on the main view and the background
// analysis of the page-queue reader.
#include "links/pageanalysis.h"
#include "support/listsshell.h"

#include <algorithm>

using namespace quorvane;

namespace {
const QString pageUrl = QStringLiteral("http://site.test/page.htm");

class PageAnalysisTest : public ListsShellTest {
protected:
    PageAnalysisTest() : m_analysis(m_state, m_host, [] {}) {}

    DocumentPtr parse(const QString &html)
    {
        m_host.web().setPage(pageUrl, html);
        return m_host.web().document(pageUrl);
    }

    PageAnalysis m_analysis;
};
}  // namespace

TEST_F(PageAnalysisTest, EachPartOfAPageGivesItsOwnRows)
{
    using Add = void (PageAnalysis::*)(const DocumentPtr &);
    const QString title = QStringLiteral("<tr><td width='100%' bgcolor='#FFFF00'><strong><font face='Arial'><a href='"
                                         "http://site.test/page.htm'>");
    const QString titleEnd = QStringLiteral("</a></font></strong></td></tr>");
    const QString description = QStringLiteral("<tr><td width='100%' bgcolor='#00FFFF'><small><font face='Arial'>");
    const QString descriptionEnd = QStringLiteral("</font></small></td></tr>");
    const QString mail = QStringLiteral("<tr><td width='100%' bgcolor='#00FFFF'><font face='Arial'><small>"
                                        "<a href='mailto:a@b.test'>");
    const QString mailEnd = QStringLiteral("</small></font></td></tr>");  // no closing anchor
    const QString exact(1000, QLatin1Char('d'));
    const QString half(500, QLatin1Char('a'));
    const struct {
        const char *what;
        Add add;
        QStringList words;
        QStringList pages;
        QStringList rows;
    } cases[] = {
        {"title, or the address without one", &PageAnalysis::addTitleRow, {},
         {"<title>Contact us</title><body></body>", "<body>untitled</body>"},
         {title + "Contact us" + titleEnd, title + pageUrl + titleEnd}},
        {"the first exactly named description, cut when too long", &PageAnalysis::addDescriptionRow, {},
         {"<meta name='Description' content='capital'><meta name='description' content='" + exact + "'>"
          "<meta name='description' content='second'>",
          "<meta name='description' content='" + half + QString(501, QLatin1Char('b')) + "'>",
          "<meta name='Description' content='only capital'>"},
         {description + exact + descriptionEnd, description + half + descriptionEnd}},
        {"a paragraph row per matching word", &PageAnalysis::addParagraphRows, {"phone", "fax", "none"},
         {"<body><p>Call PHONE or Fax</p><div>phone</div><p>other</p><p>fax only</p></body>"},
         {"<tr><td><p>Call PHONE or Fax</p></td></tr>", "<tr><td><p>Call PHONE or Fax</p></td></tr>",
          "<tr><td><p>fax only</p></td></tr>"}},
        {"no words, no paragraph rows", &PageAnalysis::addParagraphRows, {}, {"<body><p>phone</p></body>"}, {}},
        {"e-mail links, repeats kept", &PageAnalysis::addMailtoRows, {},
         {"<body><a href='MailTo:a@b.test'>Write us</a><a href='/x'>x</a><a href='mailto:a@b.test'></a></body>"},
         {mail + "Write us" + mailEnd, mail + "mailto:a@b.test" + mailEnd}},
        {"linked pictures first, then images; none, no row", &PageAnalysis::addImageRow, {},
         {"<body><img src='one.png'><a href='big.JPG'>b</a><a href='x.htm'>x</a><img src='two.gif'></body>",
          "<body>no pictures</body>"},
         {"<tr><td width=100%> <img src='http://site.test/big.JPG'><img src='http://site.test/one.png'>"
          "<img src='http://site.test/two.gif'></td></tr>"}},
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
    m_host.web().setPage(QStringLiteral("http://site.test/f1.htm"),
                         QStringLiteral("<title>F1</title><body><p>phone 1</p><img src='f.png'></body>"));
    m_host.web().setPage(QStringLiteral("http://site.test/f2.htm"), QStringLiteral("<title>F2</title><body></body>"));
    m_state.Combo1.list.setItems({QStringLiteral("mine")});
    m_state.setComboText(m_state.Combo1, QStringLiteral("typed"));
    m_state.setCollectImages(true);  // a running report asked for images
    answer({"no", "yes"});
    mainView().load(pageUrl, QStringLiteral("<title>Top</title><body><p>Phone and fax</p><a href='mailto:me@site.test'>"
                                            "me</a><img src='top.png'><iframe src='f1.htm'></iframe>"
                                            "<iframe src='f2.htm'></iframe></body>"));
    menu("addlink");

    EXPECT_EQ(dialogs(), QStringList(3, QStringLiteral("question:Would You like collect images ?")));
    const QStringList rows = m_state.List3.items();
    ASSERT_EQ(rows.size(), 8);
    EXPECT_TRUE(rows[0].contains(QStringLiteral(">Top</a>")));
    EXPECT_TRUE(rows[1].contains(QStringLiteral("mailto:me@site.test")));
    // Two of the seven words match the paragraph; the frames get no paragraph rows.
    EXPECT_EQ(rows[2], QStringLiteral("<tr><td><p>Phone and fax</p></td></tr>"));
    EXPECT_EQ(rows[3], rows[2]);
    // Images: still asked by the report for the top page although answered No.
    EXPECT_TRUE(rows[4].contains(QStringLiteral("top.png")));
    EXPECT_TRUE(rows[5].contains(QStringLiteral(">F1</a>")));
    EXPECT_TRUE(rows[6].contains(QStringLiteral("f.png")));  // answered Yes for the first frame
    EXPECT_TRUE(rows[7].contains(QStringLiteral(">F2</a>")));
    EXPECT_FALSE(m_state.collectImages());
    EXPECT_TRUE(m_state.Combo1.list.isEmpty());
    EXPECT_TRUE(m_state.Combo1.text.isEmpty());
}

TEST_F(PageAnalysisTest, BackgroundAnalysisWalksFramesAtEveryDepth)
{
    m_host.web().setPage(QStringLiteral("http://site.test/inner.htm"),
                         QStringLiteral("<title>Inner</title><body><p>kw inner</p></body>"));
    m_host.web().setPage(QStringLiteral("http://site.test/outer.htm"),
                         QStringLiteral("<title>Outer</title><frameset><frame src='inner.htm'></frameset>"));
    m_state.Combo1.list.setItems({QStringLiteral("kw")});
    m_analysis.analysePageInBackground(parse(QStringLiteral("<title>Top</title><frameset><frame src='outer.htm'>"
                                                            "</frameset>")));
    const QStringList rows = m_state.List3.items();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(rows[0].contains(QStringLiteral(">Top</a>")));
    EXPECT_TRUE(rows[1].contains(QStringLiteral(">Outer</a>")));
    EXPECT_TRUE(rows[2].contains(QStringLiteral(">Inner</a>")));
    EXPECT_EQ(rows[3], QStringLiteral("<tr><td><p>kw inner</p></td></tr>"));
}

TEST_F(PageAnalysisTest, HostileTextCannotBreakOutOfItsRow)
{
    m_state.Combo1.list.setItems({QStringLiteral("x")});
    m_state.setCollectImages(true);
    const QString hostileUrl = QStringLiteral("http://site.test/it's.htm");
    m_host.web().setPage(hostileUrl,
                         QStringLiteral("<title>&lt;script&gt;alert(1)&lt;/script&gt;</title>"
                                        "<meta name='description' content='&lt;b onmouseover=x&gt;'>"
                                        "<body><p>x &lt;img src=y onerror=alert(2)&gt;</p>"
                                        "<a href=\"mailto:a'onclick='b\">&lt;i&gt;mail&lt;/i&gt;</a>"
                                        "<a href=\" JavaScript:alert(document.cookie)//mailto:\">mail us</a>"
                                        "<a href=\"data:text/html,mailto:\">mail</a>"
                                        "<img src=\"p.png' onerror='alert(3)\"></body>"));
    m_analysis.analysePageInBackground(m_host.web().document(hostileUrl));
    const QStringList rows = m_state.List3.items();
    for (const QString &row : rows) {
        for (const char *bad : {"<script", "<b ", "<img src=y", "<i>", "'onclick", "' onerror", "it's"})
            EXPECT_FALSE(row.contains(QLatin1String(bad))) << qPrintable(row);
        // An address that runs script is no e-mail link, whatever it contains.
        EXPECT_FALSE(row.contains(QLatin1String("javascript:"), Qt::CaseInsensitive)) << qPrintable(row);
        EXPECT_FALSE(row.contains(QLatin1String("data:"))) << qPrintable(row);
    }
    EXPECT_EQ(std::count_if(rows.cbegin(), rows.cend(), [](const QString &r) { return r.contains(QLatin1String("mailto:")); }),
              1);
    EXPECT_TRUE(rows.first().contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
}
