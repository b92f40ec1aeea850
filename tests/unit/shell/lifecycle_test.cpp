#include "support/fakehost.h"
#include "core/listfile.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
class LifecycleTest : public ::testing::Test {
protected:
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QByteArray bytes(const char *name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void put(const char *name, const QByteArray &data)
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    WindowLogic &logic()
    {
        if (!m_logic) {
            Config config;
            config.programFolder = m_dir.path();
            config.homeSite = QStringLiteral("home.test:8080");
            m_logic = std::make_unique<WindowLogic>(m_state, m_host, config);
        }
        return *m_logic;
    }

    QTemporaryDir m_dir;
    FakeHost m_host;
    WindowState m_state;
    std::unique_ptr<WindowLogic> m_logic;
};
}  // namespace

TEST_F(LifecycleTest, StartUpLoadsTheWelcomePageAndStartsTheFourHomeSiteDownloads)
{
    logic().Form_Load();
    const FakeBrowser &b5 = m_host.fakeBrowser(QStringLiteral("WebBrowser5"));
    EXPECT_EQ(b5.navigations(), QStringList{QStringLiteral("http://home.test:8080/welcome.htm")});
    EXPECT_FALSE(b5.isVisible());
    EXPECT_TRUE(m_host.browser(BrowserId::MainView)->isVisible());
    const struct {
        int inet;
        const char *url;
        int size;
    } expected[] = {{6, "http://home.test:8080/pubchannels.txt", 12000},
                    {7, "http://home.test:8080/pubsearch.txt", 12000},
                    {9, "http://home.test:8080/pass.txt", 12000},
                    {10, "http://home.test:8080/list5.txt", 64000}};
    for (const auto &e : expected) {
        FakeTransfer &t = m_host.fakeTransfer(e.inet);
        EXPECT_EQ(t.executed(), QStringList{QString::fromLatin1(e.url)}) << e.inet;
        EXPECT_EQ(t.lastMaxBytes(), e.size) << e.inet;
    }
    for (int t = 3; t <= 12; ++t) {
        EXPECT_FALSE(m_host.fakeTimer(t).enabled()) << t;
        EXPECT_EQ(m_host.fakeTimer(t).interval(), t == 12 ? 5000 : t >= 10 ? 20000 : 30000) << t;
    }
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Public zone"));
    EXPECT_EQ(m_state.caption(), QStringLiteral("Specialized Quorvane Browser"));
    EXPECT_EQ(m_state.Combo2.text, QStringLiteral("http://"));
    EXPECT_EQ(m_state.panelToolTip(6), QStringLiteral("Call  Outlook Express"));
}

TEST_F(LifecycleTest, AFirstRunStartsWithEmptyListsAndWritesEmptyRecords)
{
    logic().Form_Load();
    for (const ListControl *l : {&m_state.Combo2.list, &m_state.domain, &m_state.domain2, &m_state.favorit,
                                 &m_state.favorit2, &m_state.List6}) {
        EXPECT_TRUE(l->isEmpty()) << l->name().toStdString();
    }
    logic().Form_Unload();
    logic().Form_Terminate();
    for (const char *name : {"lb.prv", "domain.prv", "domain2.txt", "list6.prv"})
        EXPECT_EQ(bytes(name), QByteArray("\"\"\r\n")) << name;
    EXPECT_EQ(bytes("error.htm"), QByteArray("\"<html><body></body></html>\"\r\n"));
    EXPECT_EQ(bytes("error1.htm"), QByteArray("<html><body></body></html>\r\n"));
    // Favorites are written when they change, never at shutdown.
    EXPECT_EQ(bytes("favor2.txt"), QByteArray("<missing>"));
}

TEST_F(LifecycleTest, ListsRoundTripThroughTheirFilesWithTheirOwnAddRules)
{
    put("domain.prv", "\"x.com\r\nab\r\n\"\r\n");
    put("domain2.txt", "\"b.org\r\na.org\r\nb.org\r\n\"\r\n");
    put("favor2.txt", "\"http://f/\r\nhttp://f/\r\n\"\r\n");
    put("list6.prv", "\"http://n/1\r\nhttp://n/1\r\n\"\r\n");
    put("lb.prv", "\"http://typed/\r\n\r\nhttp://typed/\r\n\"\r\n");
    logic().Form_Load();
    EXPECT_EQ(m_state.domain.items(), (QStringList{"ab", "x.com"}));
    EXPECT_EQ(m_state.domain2.items(), (QStringList{"a.org", "b.org"}));
    EXPECT_EQ(m_state.favorit2.items(), QStringList{"http://f/"});
    EXPECT_EQ(m_state.List6.items(), (QStringList{"http://n/1", "http://n/1"}));
    EXPECT_EQ(m_state.Combo2.list.items(), QStringList{"http://typed/"});

    m_state.domain2.add(QStringLiteral("c\"quote.org"));
    m_state.List2.add(QStringLiteral("http://img/a.gif"));
    logic().Form_Unload();
    logic().Form_Terminate();
    EXPECT_EQ(bytes("domain.prv"), QByteArray("\"ab\r\nx.com\r\n\"\r\n"));
    EXPECT_EQ(bytes("domain2.txt"), QByteArray("\"a.org\r\nb.org\r\nc%22quote.org\r\n\"\r\n"));
    EXPECT_EQ(bytes("list6.prv"), QByteArray("\"http://n/1\r\nhttp://n/1\r\n\"\r\n"));
    EXPECT_EQ(bytes("error1.htm"), QByteArray("<html><body><img src='http://img/a.gif'></body></html>\r\n"));
}

TEST_F(LifecycleTest, ShutdownCancelsTheCrawlerAndEmptiesRunTimeMenus)
{
    logic().Form_Load();
    m_state.setMenuArray(QStringLiteral("pubch"), {QStringLiteral("A"), QStringLiteral("B")});
    m_host.fakeTransfer(2).execute(QStringLiteral("http://crawl/"), 32000);
    logic().Form_Unload();
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(m_host.fakeTransfer(i).stillExecuting()) << i;
    EXPECT_EQ(m_state.menuArray(QStringLiteral("pubch")), QStringList{QStringLiteral("A")});
}

TEST_F(LifecycleTest, ImageBufferPagesEscapeHostileAddresses)
{
    logic().Form_Load();
    m_state.List2.add(QStringLiteral("http://x/a.gif'><script>alert(1)</script>"));
    logic().Form_Unload();
    const QByteArray page = bytes("error.htm");
    EXPECT_FALSE(page.contains("<script>"));
    EXPECT_TRUE(page.contains("<img src='http://x/a.gif&#39;&gt;&lt;script&gt;"));
}
