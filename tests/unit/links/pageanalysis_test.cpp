// Report rows built from pages: Add Link on Browser 1 and the background
// analysis of the page-queue reader.
#include "app/windowlogic.h"
#include "core/windowstate.h"
#include "links/pageanalysis.h"
#include "support/fakehost.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quorvane;

namespace {
const QString pageUrl = QStringLiteral("http://site.test/page.htm");

class PageAnalysisTest : public ::testing::Test {
protected:
    PageAnalysisTest() : m_logic(m_state, m_host, Config{}), m_analysis(m_state, m_host, [] {}) {}

    DocumentPtr parse(const QString &html)
    {
        m_host.web().setPage(pageUrl, html);
        return m_host.web().document(pageUrl);
    }
    void show(const QString &html) { m_host.fakeBrowser(QStringLiteral("WebBrowser1")).load(pageUrl, html); }

    FakeHost m_host;
    WindowState m_state;
    WindowLogic m_logic;
    PageAnalysis m_analysis;
};
}  // namespace

TEST_F(PageAnalysisTest, TitleRowLinksThePageAndFallsBackToItsAddress)
{
    m_analysis.addTitleRow(parse(QStringLiteral("<title>Contact us</title><body></body>")));
    m_analysis.addTitleRow(parse(QStringLiteral("<body>untitled</body>")));
    EXPECT_EQ(m_state.List3.items(),
              (QStringList{"<tr><td width='100%' bgcolor='#FFFF00'><strong><font face='Arial'><a href='"
                           "http://site.test/page.htm'>Contact us</a></font></strong></td></tr>",
                           "<tr><td width='100%' bgcolor='#FFFF00'><strong><font face='Arial'><a href='"
                           "http://site.test/page.htm'>http://site.test/page.htm</a></font></strong></td></tr>"}));
}

TEST_F(PageAnalysisTest, DescriptionRowTakesTheFirstExactlyNamedMetaAndCutsLongOnes)
{
    const QString exact(1000, QLatin1Char('d'));
    const QString longer = QString(500, QLatin1Char('a')) + QString(501, QLatin1Char('b'));
    m_analysis.addDescriptionRow(parse(QStringLiteral("<meta name='Description' content='capital'>"
                                                      "<meta name='description' content='%1'>"
                                                      "<meta name='description' content='second'>")
                                           .arg(exact)));
    m_analysis.addDescriptionRow(parse(QStringLiteral("<meta name='description' content='%1'>").arg(longer)));
    m_analysis.addDescriptionRow(parse(QStringLiteral("<meta name='Description' content='only capital'>")));
    const QString head = QStringLiteral("<tr><td width='100%' bgcolor='#00FFFF'><small><font face='Arial'>");
    const QString tail = QStringLiteral("</font></small></td></tr>");
    EXPECT_EQ(m_state.List3.items(), (QStringList{head + exact + tail, head + QString(500, QLatin1Char('a')) + tail}));
}

TEST_F(PageAnalysisTest, ParagraphRowsOnePerMatchingWord)
{
    m_state.Combo1.list.setItems({QStringLiteral("phone"), QStringLiteral("fax"), QStringLiteral("none")});
    m_analysis.addParagraphRows(parse(QStringLiteral("<body><p>Call PHONE or Fax</p><div>phone</div><p>other</p>"
                                                     "<p>fax only</p></body>")));
    EXPECT_EQ(m_state.List3.items(),
              (QStringList{"<tr><td><p>Call PHONE or Fax</p></td></tr>", "<tr><td><p>Call PHONE or Fax</p></td></tr>",
                           "<tr><td><p>fax only</p></td></tr>"}));
    m_state.List3.clear();
    m_state.Combo1.list.clear();
    m_analysis.addParagraphRows(parse(QStringLiteral("<body><p>phone</p></body>")));
    EXPECT_TRUE(m_state.List3.isEmpty());
}

TEST_F(PageAnalysisTest, MailtoRowsKeepDuplicatesAndHaveNoClosingAnchor)
{
    m_analysis.addMailtoRows(parse(QStringLiteral("<body><a href='MailTo:a@b.test'>Write us</a><a href='/x'>x</a>"
                                                  "<a href='mailto:a@b.test'></a></body>")));
    EXPECT_EQ(m_state.List3.items(),
              (QStringList{"<tr><td width='100%' bgcolor='#00FFFF'><font face='Arial'><small><a href='mailto:a@b.test'>"
                           "Write us</small></font></td></tr>",
                           "<tr><td width='100%' bgcolor='#00FFFF'><font face='Arial'><small><a href='mailto:a@b.test'>"
                           "mailto:a@b.test</small></font></td></tr>"}));
}

TEST_F(PageAnalysisTest, ImageRowListsLinkedPicturesFirstThenImages)
{
    m_analysis.addImageRow(parse(QStringLiteral("<body><img src='one.png'><a href='big.JPG'>b</a><a href='x.htm'>x</a>"
                                                "<img src='two.gif'></body>")));
    m_analysis.addImageRow(parse(QStringLiteral("<body>no pictures</body>")));
    EXPECT_EQ(m_state.List3.items(),
              QStringList{"<tr><td width=100%> <img src='http://site.test/big.JPG'><img src='http://site.test/one.png'>"
                          "<img src='http://site.test/two.gif'></td></tr>"});
}

TEST_F(PageAnalysisTest, AddLinkAsksPerDocumentAndLeavesTheKeywordBoxEmpty)
{
    m_host.web().setPage(QStringLiteral("http://site.test/f1.htm"),
                         QStringLiteral("<title>F1</title><body><p>phone 1</p><img src='f.png'></body>"));
    m_host.web().setPage(QStringLiteral("http://site.test/f2.htm"), QStringLiteral("<title>F2</title><body></body>"));
    m_state.Combo1.list.setItems({QStringLiteral("mine")});
    m_state.setComboText(m_state.Combo1, QStringLiteral("typed"));
    m_state.setCollectImages(true);  // a running report asked for images
    m_host.scripted().queueAnswer(QStringLiteral("no"));
    m_host.scripted().queueAnswer(QStringLiteral("yes"));
    show(QStringLiteral("<title>Top</title><body><p>Phone and fax</p><a href='mailto:me@site.test'>me</a>"
                        "<img src='top.png'><iframe src='f1.htm'></iframe><iframe src='f2.htm'></iframe></body>"));
    ASSERT_TRUE(m_logic.menuClick(QStringLiteral("addlink")));

    const auto records = m_host.scripted().takeRecords();
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[0].title, QStringLiteral("Question???"));
    EXPECT_EQ(records[0].text, QStringLiteral("Would You like collect images ?"));
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
    for (const QString &row : m_state.List3.items()) {
        for (const char *bad : {"<script", "<b ", "<img src=y", "<i>", "'onclick", "' onerror", "it's"})
            EXPECT_FALSE(row.contains(QLatin1String(bad))) << qPrintable(row);
        // An address that runs script is no e-mail link, whatever it contains.
        EXPECT_FALSE(row.contains(QLatin1String("javascript:"), Qt::CaseInsensitive)) << qPrintable(row);
        EXPECT_FALSE(row.contains(QLatin1String("data:"))) << qPrintable(row);
    }
    EXPECT_EQ(std::count_if(m_state.List3.items().cbegin(), m_state.List3.items().cend(),
                            [](const QString &row) { return row.contains(QLatin1String("mailto:")); }),
              1);
    EXPECT_TRUE(m_state.List3.items().first().contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
}

TEST_F(PageAnalysisTest, EndOfRunShowsAnEmptyTableWhenNothingWasCollected)
{
    m_state.setKeywordMode(true);
    m_state.setCollectImages(true);
    m_analysis.onReaderPageComplete();
    EXPECT_EQ(m_host.fakeBrowser(QStringLiteral("WebBrowser1")).written(),
              QStringLiteral("<table border='0' width='100%' cellspacing='0' cellpadding='0'></table>"));
    EXPECT_FALSE(m_state.keywordMode());
    EXPECT_FALSE(m_state.collectImages());
}
