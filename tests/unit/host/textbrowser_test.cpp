// The text-only browser over scripted transfers: events, frames, limits.
#include "host/textengine/textbrowser.h"
#include "support/fakehost.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quorvane;

namespace {
class TextBrowserTest : public ::testing::Test {
protected:
    TextBrowserTest()
        : m_browser(QStringLiteral("WebBrowser2"), [this] {
              auto t = std::make_unique<FakeTransfer>(QStringLiteral("fetch%1").arg(m_transfers.size()));
              m_transfers.append(t.get());
              return t;
          })
    {
        QObject::connect(&m_browser, &Browser::beforeNavigate, [this](const QString &u) { m_events << "before " + u; });
        QObject::connect(&m_browser, &Browser::navigateComplete, [this](const QString &u, bool) { m_events << "nav " + u; });
        QObject::connect(&m_browser, &Browser::downloadComplete, [this] { m_events << QStringLiteral("download"); });
        QObject::connect(&m_browser, &Browser::documentComplete, [this](bool top) {
            m_events << (top ? QStringLiteral("page") : QStringLiteral("frame"));
        });
    }

    // The running fetch of url, or null.
    FakeTransfer *fetching(const QString &url)
    {
        for (FakeTransfer *t : std::as_const(m_transfers)) {
            if (t->stillExecuting() && t->url() == url)
                return t;
        }
        return nullptr;
    }
    void answer(const QString &url, const QString &html)
    {
        FakeTransfer *t = fetching(url);
        ASSERT_TRUE(t) << qPrintable(url);
        t->complete(html);
    }

    QList<FakeTransfer *> m_transfers;
    QStringList m_events;
    TextBrowser m_browser;
};
}  // namespace

TEST_F(TextBrowserTest, PageWithNestedFramesCompletesFramesThenThePage)
{
    // Encoded spaces stay encoded in the fetched, reported and resolved addresses.
    const QString top = QStringLiteral("http://s.test/t%20p.htm?q=c%20d");
    m_browser.navigate(top);
    EXPECT_TRUE(m_browser.busy());
    EXPECT_FALSE(m_browser.document());
    EXPECT_EQ(m_transfers.at(0)->lastMaxBytes(), TextBrowser::MaxPageBytes);
    answer(top, QStringLiteral("<title>Top</title><frameset><frame src='a.htm'><frame src='b.htm'></frameset>"));
    EXPECT_TRUE(m_browser.busy());
    answer(QStringLiteral("http://s.test/a.htm"), QStringLiteral("<title>A</title><iframe src='c.htm'></iframe>"));
    answer(QStringLiteral("http://s.test/b.htm"), QStringLiteral("<title>B</title>"));
    EXPECT_TRUE(m_browser.busy());  // c is still out
    answer(QStringLiteral("http://s.test/c.htm"), QStringLiteral("<title>C</title><a href='x%20y.htm'>x</a>"));
    ASSERT_FALSE(m_browser.busy());
    const DocumentPtr doc = m_browser.document();
    ASSERT_TRUE(doc);
    EXPECT_EQ(m_browser.locationName(), QStringLiteral("Top"));
    EXPECT_EQ(doc->url, top);
    ASSERT_EQ(doc->frames.size(), 2);
    EXPECT_EQ(doc->frames[0]->frames.at(0)->links.at(0).href, QStringLiteral("http://s.test/x%20y.htm"));
    EXPECT_EQ(m_events, (QStringList{"before " + top, "nav " + top, "download", "frame", "frame", "frame", "page"}));
}

TEST_F(TextBrowserTest, FailedPageCompletesWithoutDocumentAndFailedFrameStaysEmpty)
{
    m_browser.navigate(QStringLiteral("http://s.test/gone.htm"));
    m_transfers.at(0)->fail();
    EXPECT_FALSE(m_browser.busy());
    EXPECT_FALSE(m_browser.document());
    EXPECT_EQ(m_events.last(), QStringLiteral("page"));

    m_browser.navigate(QStringLiteral("http://s.test/f.htm"));
    answer(QStringLiteral("http://s.test/f.htm"), QStringLiteral("<frameset><frame src='bad.htm'></frameset>"));
    fetching(QStringLiteral("http://s.test/bad.htm"))->fail();
    ASSERT_TRUE(m_browser.document());
    ASSERT_EQ(m_browser.document()->frames.size(), 1);
    EXPECT_FALSE(m_browser.document()->frames[0]);
}

TEST_F(TextBrowserTest, SelfFramingPagesAndFrameFloodsEnd)
{
    m_browser.navigate(QStringLiteral("http://s.test/self.htm"));
    const QString selfFraming = QStringLiteral("<frameset><frame src='self.htm?'></frameset>");
    answer(QStringLiteral("http://s.test/self.htm"), selfFraming);
    // Each level names a new address; the depth bound ends the chain.
    for (int i = 1; i <= TextBrowser::MaxFrameDepth && m_browser.busy(); ++i) {
        const QString next = QStringLiteral("http://s.test/self.htm") + QString(i, QLatin1Char('?'));
        answer(next, QStringLiteral("<frameset><frame src='%1'></frameset>").arg(next.mid(14) + QLatin1Char('?')));
    }
    EXPECT_FALSE(m_browser.busy());

    QString flood = QStringLiteral("<body>");
    for (int i = 0; i < 100; ++i)
        flood += QStringLiteral("<iframe src='f%1.htm'></iframe>").arg(i);
    m_browser.navigate(QStringLiteral("http://s.test/flood.htm"));
    answer(QStringLiteral("http://s.test/flood.htm"), flood);
    int fetched = 0;
    for (int i = 0; i < 100; ++i) {
        if (FakeTransfer *t = fetching(QStringLiteral("http://s.test/f%1.htm").arg(i))) {
            t->complete(QStringLiteral("<p>frame</p>"));
            ++fetched;
        }
    }
    EXPECT_EQ(fetched, TextBrowser::MaxFrames);
    EXPECT_FALSE(m_browser.busy());
    EXPECT_EQ(m_browser.document()->frames.size(), 100);

    // A thousand frames of one big document: it is fetched and parsed once,
    // and every frame shows that one document.
    m_browser.navigate(QStringLiteral("http://s.test/same.htm"));
    answer(QStringLiteral("http://s.test/same.htm"), QStringLiteral("<iframe src='big.htm'></iframe>").repeated(1000));
    answer(QStringLiteral("http://s.test/big.htm"), QStringLiteral("<br>").repeated(200000) + "<a href='x.htm'>x</a>");
    EXPECT_FALSE(m_browser.busy());
    const auto frames = m_browser.document()->frames;
    ASSERT_EQ(frames.size(), 1000);
    ASSERT_TRUE(frames.first());
    EXPECT_EQ(frames.first()->links.size(), 1);
    EXPECT_TRUE(std::all_of(frames.cbegin(), frames.cend(), [&](const DocumentPtr &f) { return f == frames.first(); }));
}

TEST_F(TextBrowserTest, StopAndNewNavigationDropTheOldLoadSilently)
{
    m_browser.navigate(QStringLiteral("http://s.test/one.htm"));
    m_browser.stop();
    EXPECT_FALSE(m_browser.busy());
    EXPECT_FALSE(m_transfers.at(0)->stillExecuting());
    m_browser.navigate(QStringLiteral("http://s.test/two.htm"));
    answer(QStringLiteral("http://s.test/two.htm"), QStringLiteral("<title>Two</title>"));
    EXPECT_EQ(m_events.filter(QStringLiteral("page")).size(), 1);
    EXPECT_EQ(m_browser.locationUrl(), QStringLiteral("http://s.test/two.htm"));

    // A listener that navigates on completion gets its new load, not stale events.
    QObject::connect(&m_browser, &Browser::navigateComplete, &m_browser, [this](const QString &u) {
        if (u.endsWith(QLatin1String("three.htm")))
            m_browser.navigate(QStringLiteral("http://s.test/four.htm"));
    });
    m_browser.navigate(QStringLiteral("http://s.test/three.htm"));
    answer(QStringLiteral("http://s.test/three.htm"), QStringLiteral("<title>Three</title>"));
    EXPECT_TRUE(m_browser.busy());
    EXPECT_EQ(m_events.filter(QStringLiteral("page")).size(), 1);
}

TEST_F(TextBrowserTest, WriteMakesAParsedDocumentAndHistoryWalks)
{
    m_browser.closeDocument();
    m_browser.writeDocument(QStringLiteral("<title>W</title><table>"));
    m_browser.writeDocument(QStringLiteral("<tr><td><a href='http://a.test/'>a</a></td></tr></table>"));
    EXPECT_EQ(m_browser.locationUrl(), QStringLiteral("about:blank"));
    EXPECT_EQ(m_browser.document()->title, QStringLiteral("W"));
    EXPECT_EQ(m_browser.document()->links.size(), 1);

    for (const char *page : {"http://s.test/1.htm", "http://s.test/2.htm"}) {
        m_browser.navigate(QString::fromLatin1(page));
        answer(QString::fromLatin1(page), QString());
    }
    m_browser.goBack();
    answer(QStringLiteral("http://s.test/1.htm"), QString());
    m_browser.goForward();
    answer(QStringLiteral("http://s.test/2.htm"), QString());
    EXPECT_EQ(m_browser.locationUrl(), QStringLiteral("http://s.test/2.htm"));
}
