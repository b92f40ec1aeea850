// Create Full Report, Save report and the links report views.
#include "support/shellfixture.h"
#include "support/testfiles.h"

using namespace quorvane;
using quorvane::testing::readBytes;

namespace {
using ReportsTest = ShellTest;
}  // namespace

TEST_F(ReportsTest, CreateFullReportAsksForLinksOrQueuesThemBehindWaitingPages)
{
    FakeBrowser &reader = m_host.fakeBrowser(BrowserId::PageReader);
    answer({"yes"});
    menu("viewreport");
    EXPECT_EQ(dialogs(), (QStringList{"question:Would You like collect images ?", "message:Get links ,Please"}));
    EXPECT_TRUE(m_state.collectImages());
    EXPECT_TRUE(reader.navigations().isEmpty());

    m_state.setCollectImages(false);
    m_state.List4.setItems({"http://q.test/1", "http://q.test/2"});
    m_state.listlinks.setItems({"http://c.test/", "http://a.test/", "http://b.test/"});
    m_state.List3.add("<a href='x'>x</a><br>");
    menu("viewreport");  // answered No
    EXPECT_TRUE(m_state.listlinks.isEmpty() && m_state.List3.isEmpty());
    EXPECT_EQ(reader.navigations(), QStringList{"http://q.test/1"});
    EXPECT_EQ(m_state.List4.items(), (QStringList{"http://q.test/2", "http://a.test/", "http://b.test/", "http://c.test/"}));
    EXPECT_FALSE(m_state.collectImages() || visible("listlinks") || visible("Command1"));
}

TEST_F(ReportsTest, SavedReportIsTheRowsInAFixedPageByteForByte)
{
    const QString path = folderFile("report.htm");
    answer({"file:" + path});
    menu("savereport");
    EXPECT_EQ(readBytes(path), "<html>\r\n\r\n<title>Report</title><body></body>\r\n</html>\r\n");
    EXPECT_EQ(dialogs(), QStringList{"save-file:HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf"});

    // Characters beyond ASCII go out as character references.
    m_state.List3.setItems({"<tr><td><p>one</p></td></tr>", QStringLiteral("<a href='u'>Café ★</a><br>")});
    m_state.setPrivateZone(true);
    answer({"file:" + path});
    menu("savereport");
    EXPECT_EQ(readBytes(path), "<html>\r\n\r\n<title>Report</title><body><tr><td><p>one</p></td></tr>"
                               "<a href='u'>Caf&#233; &#9733;</a><br></body>\r\n</html>\r\n");
    EXPECT_EQ(dialogs(), QStringList{"save-file:Private collection file (*.prv)|*.prv"});

    menu("savereport");  // cancelled: the file stays
    EXPECT_TRUE(readBytes(path).contains("one"));
}

TEST_F(ReportsTest, LinksViewsShowHideWriteAndClear)
{
    m_state.setVisible("domain", true);
    menu("viewlinkslisting");
    EXPECT_TRUE(visible("listlinks") && visible("Command1") && !visible("domain"));
    menu("viewlinkslisting");
    EXPECT_FALSE(visible("listlinks") || visible("Command1") || visible("domain"));

    m_state.listlinks.add("http://a.test/");
    menu("viewlinkslisting");
    click("Command1");
    EXPECT_TRUE(m_state.listlinks.isEmpty());
    EXPECT_FALSE(visible("listlinks") || visible("Command1"));
    EXPECT_EQ(mainView().stopCount(), 1);

    // The report view writes the rows as they are.
    m_state.List3.setItems({"<a href='http://a.test/'>A</a><br>", "<tr><td>B</td></tr>"});
    menu("viewlinks");
    EXPECT_EQ(mainView().written(), "<html><title>Found links report</title><body><table border='0' width='100%' "
                                    "cellspacing='0' cellpadding='0'><a href='http://a.test/'>A</a><br>"
                                    "<tr><td>B</td></tr></table></body></html>");

    menu("listlisting");
    EXPECT_TRUE(visible("List3") && visible("Clearalllinks") && visible("closel3"));
    click("closel3");
    EXPECT_FALSE(visible("List3") || visible("Clearalllinks") || visible("closel3"));
    EXPECT_EQ(m_state.List3.count(), 2);
    menu("listlisting");
    click("Clearalllinks");
    EXPECT_TRUE(m_state.List3.isEmpty());
    EXPECT_FALSE(visible("List3"));
}
