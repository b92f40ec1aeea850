// Create Full Report, Save report and the links report views.
#include "app/windowlogic.h"
#include "core/windowstate.h"
#include "crawler/foundreports.h"
#include "links/linksreports.h"
#include "support/fakehost.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
class ReportsTest : public ::testing::Test {
protected:
    ReportsTest() : m_logic(m_state, m_host, Config{}) {}

    void menu(const char *name) { ASSERT_TRUE(m_logic.menuClick(QString::fromLatin1(name))); }
    bool visible(const char *name) { return m_state.control(QString::fromLatin1(name)).visible; }
    QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    FakeHost m_host;
    WindowState m_state;
    WindowLogic m_logic;
};
}  // namespace

TEST_F(ReportsTest, CreateFullReportQueuesTheLinksBehindWaitingPages)
{
    m_state.List4.setItems({QStringLiteral("http://q.test/1"), QStringLiteral("http://q.test/2")});
    m_state.listlinks.setItems({QStringLiteral("http://c.test/"), QStringLiteral("http://a.test/"),
                                QStringLiteral("http://b.test/")});
    m_state.List3.add(QStringLiteral("<a href='x'>x</a><br>"));
    m_state.setCollectImages(false);
    m_host.scripted().queueAnswer(QStringLiteral("no"));
    menu("viewreport");
    EXPECT_TRUE(m_state.listlinks.isEmpty());
    EXPECT_TRUE(m_state.List3.isEmpty());
    EXPECT_EQ(m_host.fakeBrowser(QStringLiteral("WebBrowser2")).navigations(), QStringList{"http://q.test/1"});
    EXPECT_EQ(m_state.List4.items(), (QStringList{"http://q.test/2", "http://a.test/", "http://b.test/",
                                                  "http://c.test/"}));
    EXPECT_FALSE(m_state.collectImages());
    EXPECT_FALSE(visible("listlinks"));
    EXPECT_FALSE(visible("Command1"));
}

TEST_F(ReportsTest, CreateFullReportWithoutLinksAsksForLinks)
{
    m_host.scripted().queueAnswer(QStringLiteral("yes"));
    menu("viewreport");
    const auto records = m_host.scripted().takeRecords();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[1].kind, QStringLiteral("message"));
    EXPECT_EQ(records[1].text, QStringLiteral("Get links ,Please"));
    EXPECT_TRUE(m_state.collectImages());
    EXPECT_TRUE(m_host.fakeBrowser(QStringLiteral("WebBrowser2")).navigations().isEmpty());
}

TEST_F(ReportsTest, SavedReportIsTheRowsInAFixedPageByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.htm"));
    m_host.scripted().queueAnswer(QStringLiteral("file:") + path);
    menu("savereport");
    EXPECT_EQ(read(path), QByteArray("<html>\r\n\r\n<title>Report</title><body></body>\r\n</html>\r\n"));
    EXPECT_EQ(m_host.scripted().takeRecords().at(0).text,
              QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf"));

    m_state.List3.setItems({QStringLiteral("<tr><td><p>one</p></td></tr>"), QStringLiteral("<a href='u'>Café ★</a><br>")});
    m_state.setPrivateZone(true);
    m_host.scripted().queueAnswer(QStringLiteral("file:") + path);
    menu("savereport");
    EXPECT_EQ(read(path), QByteArray("<html>\r\n\r\n<title>Report</title><body><tr><td><p>one</p></td></tr>"
                                     "<a href='u'>Caf&#233; &#9733;</a><br></body>\r\n</html>\r\n"));
    EXPECT_EQ(m_host.scripted().takeRecords().at(0).text, QStringLiteral("Private collection file (*.prv)|*.prv"));

    menu("savereport");  // cancelled: the file stays
    EXPECT_TRUE(read(path).contains("one"));
}

TEST_F(ReportsTest, ViewReportWritesTheRowsIntoBrowserOne)
{
    menu("viewlinks");
    EXPECT_EQ(m_host.fakeBrowser(QStringLiteral("WebBrowser1")).written(),
              QStringLiteral("<html><title>Found links report</title><body><table border='0' width='100%' "
                             "cellspacing='0' cellpadding='0'></table></body></html>"));
    EXPECT_EQ(m_host.fakeBrowser(QStringLiteral("WebBrowser1")).locationName(), QStringLiteral("Found links report"));
    m_state.List3.setItems({QStringLiteral("<a href='http://a.test/'>A</a><br>"),
                            QStringLiteral("<a href='http://b.test/'>B</a><br>")});
    menu("viewlinks");
    EXPECT_EQ(m_host.fakeBrowser(QStringLiteral("WebBrowser1")).written(),
              LinksReports::reportOpening + m_state.List3.items().join(QString()) + LinksReports::reportClosing);
}

TEST_F(ReportsTest, ListingViewsShowHideAndClear)
{
    m_state.setVisible(QStringLiteral("domain"), true);
    menu("viewlinkslisting");
    EXPECT_TRUE(visible("listlinks") && visible("Command1"));
    EXPECT_FALSE(visible("domain"));
    menu("viewlinkslisting");
    EXPECT_FALSE(visible("listlinks") || visible("Command1") || visible("domain"));

    m_state.listlinks.add(QStringLiteral("http://a.test/"));
    menu("viewlinkslisting");
    ASSERT_TRUE(m_logic.buttonClick(QStringLiteral("Command1")));
    EXPECT_TRUE(m_state.listlinks.isEmpty());
    EXPECT_FALSE(visible("listlinks") || visible("Command1"));
    EXPECT_EQ(m_state.panelText(3), QStringLiteral("Links listing is clear ! "));
    EXPECT_EQ(m_host.fakeBrowser(QStringLiteral("WebBrowser1")).stopCount(), 1);

    m_state.List3.add(QStringLiteral("row"));
    menu("listlisting");
    EXPECT_TRUE(visible("List3") && visible("Clearalllinks") && visible("closel3"));
    ASSERT_TRUE(m_logic.buttonClick(QStringLiteral("closel3")));
    EXPECT_FALSE(visible("List3") || visible("Clearalllinks") || visible("closel3"));
    EXPECT_EQ(m_state.List3.count(), 1);
    menu("listlisting");
    ASSERT_TRUE(m_logic.buttonClick(QStringLiteral("Clearalllinks")));
    EXPECT_TRUE(m_state.List3.isEmpty());
    EXPECT_FALSE(visible("List3"));
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Buffer is clear"));
}
