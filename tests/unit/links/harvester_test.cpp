// Get Links: the shown pages' links into the walk, the links list and the rows.
#include "links/harvester.h"
#include "support/shellfixture.h"

using namespace quorvane;

namespace {
class HarvesterTest : public ShellTest {
protected:
    void show(const QString &html) { mainView().load("http://site.test/page.htm", html); }
    void harvest() { menu("getlinks"); }
};
}  // namespace

TEST_F(HarvesterTest, EachNewLinkOfTheShownViewGoesToTheThreeListsOnceUntilTheToolbarStartsAfresh)
{
    secondView().load("http://site.test/", "<body><a href='/hidden'>5</a></body>");  // not shown: not harvested
    show("<body><a href='/b'>Bee</a><a href='/a'>Ay</a><a href='/b'>again</a><a href='HTTP://SITE.TEST/a'>case</a>");
    harvest();
    EXPECT_EQ(m_state.List7.items(), (QStringList{"http://site.test/b", "http://site.test/a"}));
    EXPECT_EQ(m_state.listlinks.items(), (QStringList{"http://site.test/a", "http://site.test/b"}));
    EXPECT_EQ(m_state.List3.items(),
              (QStringList{"<a href='http://site.test/b'>Bee</a><br>", "<a href='http://site.test/a'>Ay</a><br>"}));
    EXPECT_EQ(m_state.panelText(2), "Found - 2 links");
    EXPECT_TRUE(m_state.harvestRequested());

    harvest();  // the same page again adds nothing
    EXPECT_EQ(m_state.List3.count(), 2);
    // The duplicate test follows the rows as other commands change them;
    // report rows that merely mention an address are no link rows.
    m_state.List3.setItems({"<tr><td><a href='http://site.test/b'>t</a></td></tr>"});
    harvest();
    EXPECT_EQ(m_state.List3.count(), 3);

    // The toolbar's button starts afresh and clears the page queue.
    m_state.List4.add("http://queued/");
    show("<body>no links</body>");
    ASSERT_TRUE(m_logic.buttonUp("Picture241", MouseButton::Right));
    EXPECT_TRUE(m_state.listlinks.isEmpty() && m_state.List3.isEmpty() && m_state.List7.isEmpty()
                && m_state.List4.isEmpty());
    EXPECT_EQ(m_state.panelText(2), "Found - 0 links");
}

TEST_F(HarvesterTest, TakesLinksByAddressKeywordAndFrame)
{
    page("http://site.test/left.htm", "<body><a href='/l1'>L1</a><a href='/l2'>L2</a></body>");
    page("http://site.test/right.htm", "<frameset cols='50%,50%'><frame src='inner.htm'></frameset>");
    page("http://site.test/inner.htm", "<body><a href='/r1'>R1</a></body>");
    const char *keywordPage = "<body><a href='/WEATHER/today'>one</a><a href='/x'>Local Weather</a>"
                              "<a href='/y'>other</a><a href='/z'>href</a></body>";
    const struct {
        const char *what;
        const char *html;
        const char *keyword;
        QStringList taken;
    } cases[] = {
        {"an address inside a longer one",
         "<body><a href='http://x.test/a2'>two</a><a href='http://x.test/a'>http://x.test/a</a>"
         "<a href='http://x.test/'>root</a></body>",
         "", {"http://x.test/a2", "http://x.test/a", "http://x.test/"}},
        {"never a script address",
         "<body><a href='javascript:alert(1)'>run</a><a href=' JavaScript:x()'>x</a>"
         "<a href='data:text/html,<script>alert(1)</script>'>d</a><a href='/ok'>ok</a></body>",
         "", {"http://site.test/ok"}},
        {"keyword in the address or the text, any case", keywordPage, "weather",
         {"http://site.test/WEATHER/today", "http://site.test/x"}},
        {"a link the keyword passes over does not hide a later one to its address",
         "<body><a href='/same'>plain</a><a href='/SAME'>Weather</a><a href='/same'>weather again</a></body>",
         "weather", {"http://site.test/SAME"}},
        // "href" stands in every row's markup, but only the last link holds it.
        {"keyword not matched against the markup", keywordPage, "href", {"http://site.test/z"}},
        {"frames in frame order at every depth, not the frameset's own links",
         "<frameset cols='50%,50%'><frame src='left.htm'><frame src='right.htm'><a href='/own'>own</a></frameset>",
         "", {"http://site.test/l1", "http://site.test/l2", "http://site.test/r1"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        m_state.List3.clear();
        m_state.List7.clear();
        m_state.setComboText(m_state.Combo1, c.keyword);
        show(c.html);
        harvest();
        EXPECT_EQ(m_state.List7.items(), c.taken);
    }
}

TEST_F(HarvesterTest, RowsEscapePageTextAndShowTheAddressOfLinksWithoutText)
{
    show("<body><a href=\"/q?a=1&amp;b='2'\">&lt;img src=x onerror=alert(1)&gt; Tom &amp; Jerry</a>"
         "<a href='/pic'><img src='p.gif'></a><map><area href='/area' alt=x></map></body>");
    harvest();
    const QString address = QStringLiteral("http://site.test/q?a=1&b='2'");
    EXPECT_EQ(m_state.List7.at(0), address);
    EXPECT_EQ(m_state.List3.items(),
              (QStringList{"<a href='http://site.test/q?a=1&amp;b=&#39;2&#39;'>&lt;img src=x onerror=alert(1)&gt; "
                           "Tom &amp; Jerry</a><br>",
                           "<a href='http://site.test/pic'>http://site.test/pic</a><br>",
                           "<a href='http://site.test/area'>http://site.test/area</a><br>"}));
    EXPECT_EQ(Harvester::addressOfLinkRow(m_state.List3.at(0)), address);
    harvest();  // the escaped row still counts as the same address
    EXPECT_EQ(m_state.List3.count(), 3);
}
