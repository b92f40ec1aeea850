// Rows written one after another into a shown view, as the keyword search
// writes its found pages: each row reaches the page once.
#include "testsupport.h"

#include "host/webengine/webenginebrowser.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QWebEnginePage>

namespace quorvane {
namespace {

QString row(int i)
{
    const QString url = QStringLiteral("http://rows.test/%1.htm").arg(i);
    return QStringLiteral("<font face='Arial'><small><a href='") + url + QStringLiteral("'>") + url
        + QStringLiteral("</a></small></font><br>");
}

TEST(WebEngineWrittenRows, EachRowReachesThePageOnceAndTheDocumentHoldsThemAll)
{
    // Replaces the written document once, as a script in written text might:
    // what follows cannot be appended and everything is written anew.
    const QString replacing = QStringLiteral(
        "<img src='data:,' onerror=\"if (!window.quorvaneGone) { window.quorvaneGone = 1;"
        " document.open(); document.write('<p>gone</p>'); document.close(); }\">");
    const struct {
        const char *name;
        int rows;
        int spinMs;        // between rows: 0 writes them all in one turn
        int replacingRow;  // -1: none
    } cases[] = {
        {"a row every frame", 120, 20, -1},
        {"all rows in one turn", 120, 0, -1},
        {"the document replaced midway", 60, 20, 20},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WebEngineBrowser browser(QStringLiteral("WebBrowser1"), WebEngineApp::profile(), true);
        QString written;
        for (int i = 0; i < c.rows; ++i) {
            const QString text = row(i) + (i == c.replacingRow ? replacing : QString());
            browser.writeDocument(text);
            written += text;
            if (c.spinMs)
                spin(c.spinMs);
        }
        ASSERT_TRUE(waitUntil([&] {
            const DocumentPtr doc = browser.document();
            return doc && doc->links.size() == c.rows;
        }));
        const DocumentPtr doc = browser.document();
        EXPECT_EQ(doc->links.first().href, QStringLiteral("http://rows.test/0.htm"));
        EXPECT_EQ(doc->links.last().href, QStringLiteral("http://rows.test/%1.htm").arg(c.rows - 1));
        EXPECT_EQ(browser.writtenDocument(), written);
        EXPECT_EQ(runScript(browser.page(), QStringLiteral("document.getElementsByTagName('br').length")).toInt(),
                  c.rows);
        if (c.replacingRow < 0) {
            // Rewriting all at each row would send rows * (rows + 1) / 2 rows.
            EXPECT_EQ(browser.writeCharsSent(), written.size());
        } else {
            EXPECT_GT(browser.writeCharsSent(), written.size());
            EXPECT_LE(browser.writeCharsSent(), 3 * written.size());
            EXPECT_EQ(runScript(browser.page(), QStringLiteral("document.body.innerText.indexOf('gone')")).toInt(), -1);
        }
    }
}

TEST(WebEngineWrittenRows, ANewDocumentsFirstRowsReachThePageTogether)
{
    // Rows found within the first tenth of a second after the document opens
    // go with one write, and so with one blank page; the next ones are appended.
    WebEngineBrowser browser(QStringLiteral("WebBrowser1"), WebEngineApp::profile(), true);
    QString written;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 20; ++i) {
        browser.writeDocument(row(i));
        written += row(i);
        spin(2);
    }
    const bool inTime = clock.elapsed() < WebEngineBrowser::FirstWriteMs;
    ASSERT_TRUE(waitUntil([&] { return browser.writeCharsSent() == written.size(); }));
    if (inTime) {
        EXPECT_EQ(browser.writesSent(), 1);
    }
    browser.writeDocument(row(20));
    written += row(20);
    ASSERT_TRUE(waitUntil([&] {
        const DocumentPtr doc = browser.document();
        return doc && doc->links.size() == 21;
    }));
    EXPECT_EQ(browser.writeCharsSent(), written.size());
    EXPECT_EQ(browser.writtenDocument(), written);
}

TEST(WebEngineWrittenRows, AppendsToALongDocumentComeInFewerLargerPieces)
{
    // A search's rows on a report of 20,000 rows: the page gets them a few
    // times a second, each time all that came meanwhile, in order.
    WebEngineBrowser browser(QStringLiteral("WebBrowser1"), WebEngineApp::profile(), true);
    QString written;
    for (int i = 0; i < 20000; ++i)
        written += row(i);
    browser.writeDocument(written);
    ASSERT_TRUE(waitUntil([&] { return browser.writeCharsSent() == written.size(); }));
    const qint64 firstWrites = browser.writesSent();
    const int interval = WebEngineBrowser::writeIntervalMs(written.size());
    ASSERT_GE(interval, 4 * WebEngineBrowser::WriteFrameMs);

    const int rows = 100;
    const int spinMs = 5;
    QElapsedTimer clock;
    clock.start();
    for (int i = 20000; i < 20000 + rows; ++i) {
        browser.writeDocument(row(i));
        written += row(i);
        spin(spinMs);
    }
    const qint64 streamMs = clock.elapsed();
    ASSERT_TRUE(waitUntil([&] { return browser.writeCharsSent() == written.size(); }));
    EXPECT_LE(browser.writesSent() - firstWrites, streamMs / interval + 2);
    ASSERT_TRUE(waitUntil([&] {
        const DocumentPtr doc = browser.document();
        return doc && doc->links.size() == 20000 + rows;
    }));
    EXPECT_EQ(browser.document()->links.last().href, QStringLiteral("http://rows.test/%1.htm").arg(20000 + rows - 1));
    EXPECT_EQ(browser.writtenDocument(), written);
    EXPECT_EQ(runScript(browser.page(), QStringLiteral("document.getElementsByTagName('br').length")).toInt(),
              20000 + rows);
}

}  // namespace
}  // namespace quorvane
