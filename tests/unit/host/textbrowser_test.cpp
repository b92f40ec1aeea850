// The text-only browser over scripted transfers: events, frames, limits.
#include "host/textengine/textbrowser.h"
#include "support/fakehost.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quorvane;

namespace {

QString at(const QString &page)
{
    return QStringLiteral("http://s.test/") + page;
}

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

    // The running fetch of the page, or null.
    FakeTransfer *fetching(const QString &page)
    {
        for (FakeTransfer *t : std::as_const(m_transfers)) {
            if (t->stillExecuting() && t->url() == at(page))
                return t;
        }
        return nullptr;
    }
    void answer(const QString &page, const QString &html)
    {
        FakeTransfer *t = fetching(page);
        ASSERT_TRUE(t) << qPrintable(page);
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
    const QString top = QStringLiteral("t%20p.htm?q=c%20d");
    m_browser.navigate(at(top));
    EXPECT_TRUE(m_browser.busy());
    EXPECT_FALSE(m_browser.document());
    EXPECT_EQ(m_transfers.at(0)->lastMaxBytes(), TextBrowser::MaxPageBytes);
    answer(top, QStringLiteral("<title>Top</title><frameset><frame src='a.htm'><frame src='b.htm'></frameset>"));
    EXPECT_TRUE(m_browser.busy());
    answer(QStringLiteral("a.htm"), QStringLiteral("<title>A</title><iframe src='c.htm'></iframe>"));
    fetching(QStringLiteral("b.htm"))->fail();
    EXPECT_TRUE(m_browser.busy());  // c is still out
    answer(QStringLiteral("c.htm"), QStringLiteral("<title>C</title><a href='x%20y.htm'>x</a>"));
    ASSERT_FALSE(m_browser.busy());
    const DocumentPtr doc = m_browser.document();
    ASSERT_TRUE(doc);
    EXPECT_EQ(m_browser.locationName(), QStringLiteral("Top"));
    EXPECT_EQ(doc->url, at(top));
    ASSERT_EQ(doc->frames.size(), 2);
    EXPECT_EQ(doc->frames[0]->frames.at(0)->links.at(0).href, at(QStringLiteral("x%20y.htm")));
    EXPECT_FALSE(doc->frames[1]);  // the failed frame stays empty
    EXPECT_EQ(m_events, (QStringList{"before " + at(top), "nav " + at(top), "download", "frame", "frame", "page"}));
}

TEST_F(TextBrowserTest, SelfFramingPagesAndFrameFloodsEnd)
{
    m_browser.navigate(at(QStringLiteral("self.htm")));
    answer(QStringLiteral("self.htm"), QStringLiteral("<frameset><frame src='self.htm?'></frameset>"));
    // Each level names a new address; the depth bound ends the chain.
    for (int i = 1; i <= TextBrowser::MaxFrameDepth && m_browser.busy(); ++i) {
        const QString next = QStringLiteral("self.htm") + QString(i, QLatin1Char('?'));
        answer(next, QStringLiteral("<frameset><frame src='%1?'></frameset>").arg(next));
    }
    EXPECT_FALSE(m_browser.busy());

    QString flood = QStringLiteral("<body>");
    for (int i = 0; i < 100; ++i)
        flood += QStringLiteral("<iframe src='f%1.htm'></iframe>").arg(i);
    m_browser.navigate(at(QStringLiteral("flood.htm")));
    answer(QStringLiteral("flood.htm"), flood);
    int fetched = 0;
    for (int i = 0; i < 100; ++i) {
        if (FakeTransfer *t = fetching(QStringLiteral("f%1.htm").arg(i))) {
            t->complete(QStringLiteral("<p>frame</p>"));
            ++fetched;
        }
    }
    EXPECT_EQ(fetched, TextBrowser::MaxFrames);
    EXPECT_FALSE(m_browser.busy());
    EXPECT_EQ(m_browser.document()->frames.size(), 100);

    // A thousand frames of one big document: it is fetched and parsed once,
    // and every frame shows that one document.
    m_browser.navigate(at(QStringLiteral("same.htm")));
    answer(QStringLiteral("same.htm"), QStringLiteral("<iframe src='big.htm'></iframe>").repeated(1000));
    answer(QStringLiteral("big.htm"), QStringLiteral("<br>").repeated(200000) + "<a href='x.htm'>x</a>");
    EXPECT_FALSE(m_browser.busy());
    const auto frames = m_browser.document()->frames;
    ASSERT_EQ(frames.size(), 1000);
    ASSERT_TRUE(frames.first());
    EXPECT_EQ(frames.first()->links.size(), 1);
    EXPECT_TRUE(std::all_of(frames.cbegin(), frames.cend(), [&](const DocumentPtr &f) { return f == frames.first(); }));
}

TEST_F(TextBrowserTest, FailureStopAndNewNavigationEndTheOldLoad)
{
    // A failed page completes, like a browser's error page, with no document.
    m_browser.navigate(at(QStringLiteral("gone.htm")));
    m_transfers.at(0)->fail();
    EXPECT_FALSE(m_browser.busy());
    EXPECT_FALSE(m_browser.document());
    EXPECT_EQ(m_events.last(), QStringLiteral("page"));

    // Stopped, it ends silently.
    m_events.clear();
    m_browser.navigate(at(QStringLiteral("one.htm")));
    m_browser.stop();
    EXPECT_FALSE(m_browser.busy());
    EXPECT_FALSE(m_transfers.at(0)->stillExecuting());
    m_browser.navigate(at(QStringLiteral("two.htm")));
    answer(QStringLiteral("two.htm"), QStringLiteral("<title>Two</title>"));
    EXPECT_EQ(m_events.filter(QStringLiteral("page")).size(), 1);
    EXPECT_EQ(m_browser.locationUrl(), at(QStringLiteral("two.htm")));

    // A listener that navigates on completion gets its new load, not stale events.
    QObject::connect(&m_browser, &Browser::navigateComplete, &m_browser, [this](const QString &u) {
        if (u.endsWith(QLatin1String("three.htm")))
            m_browser.navigate(at(QStringLiteral("four.htm")));
    });
    m_browser.navigate(at(QStringLiteral("three.htm")));
    answer(QStringLiteral("three.htm"), QStringLiteral("<title>Three</title>"));
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

    // Rows written one by one are parsed once, when the document is read.
    const qint64 parsed = m_browser.writtenCharsParsed();
    const QString row = QStringLiteral("<a href='http://a.test/r'>r</a><br>");
    for (int i = 0; i < 500; ++i)
        m_browser.writeDocument(row);
    EXPECT_EQ(m_browser.writtenCharsParsed(), parsed);
    EXPECT_EQ(m_browser.document()->links.size(), 501);
    EXPECT_EQ(m_browser.locationName(), QStringLiteral("W"));
    EXPECT_EQ(m_browser.writtenCharsParsed() - parsed, qint64(500 * row.size() + 79));

    for (const char *page : {"1.htm", "2.htm"}) {
        m_browser.navigate(at(QLatin1String(page)));
        answer(QLatin1String(page), QString());
    }
    m_browser.goBack();
    answer(QStringLiteral("1.htm"), QString());
    m_browser.goForward();
    answer(QStringLiteral("2.htm"), QString());
    EXPECT_EQ(m_browser.locationUrl(), at(QStringLiteral("2.htm")));
}
