#include "testsupport.h"

#include "sitegen/cardprofile.h"
#include "sitegen/shoppages.h"
#include "sitegen/sitegeneration.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <QTemporaryDir>
#include <QUrl>
#include <QWebEnginePage>

#include <chrono>
#include <csignal>
#include <thread>

namespace quorvane {
namespace {

// Serves a folder on 127.0.0.1 from a thread, with content types by extension.
class FolderServer final {
public:
    explicit FolderServer(const QString &folder)
    {
        std::signal(SIGPIPE, SIG_IGN);
        m_server.set_mount_point("/", folder.toStdString());
        m_server.set_keep_alive_timeout(1);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FolderServer()
    {
        m_server.stop();
        m_thread.join();
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(QString::fromUtf8(QUrl::toPercentEncoding(path, "/")));
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

class ShopInBrowser : public ::testing::Test {
protected:
    ShopInBrowser() : m_page(testProfile()) {}

    QVariant js(const QString &source) { return runScript(&m_page, source); }
    QString text(const QString &source) { return js(source).toString(); }
    // Waits until the main frame shows the page and has finished loading it.
    bool mainFrameShows(const QString &file)
    {
        const QString check = QStringLiteral(
            "(function(){ var f = frames['m_ain']; return !!f && decodeURIComponent(f.location.pathname)"
            ".endsWith('/%1') && f.document.readyState == 'complete'; })()").arg(file);
        return waitUntil([&] { return js(check).toBool(); }, 15000);
    }

    QWebEnginePage m_page;
};

TEST_F(ShopInBrowser, ListBasketOrderFormAndRemoveWorkAcrossFrames)
{
    QTemporaryDir dir;
    CardProfile card(QStringLiteral("gateway.example.invalid"), QStringLiteral("login"));
    ShopDescription shop;
    shop.category = QStringLiteral(" Fruit Stand ");
    shop.goBack = QStringLiteral("about:blank");
    shop.email = QStringLiteral("orders@example.com");
    shop.tableStyle = card.tableStyle();
    shop.fontStyle = card.fontStyle();
    shop.formAction = card.formAction();
    shop.entries = {shoppages::headerLine(), QStringLiteral("A1,Apple \"Gala\",1.25,a.gif,a.htm,"),
                    QStringLiteral("B2,Back\\slash,3,b.gif,b.htm,"), QStringLiteral("C3,Cherries,0.5,c.gif,c.htm,")};
    const GenerationReport report = generateSite(shop, dir.path(), QStringLiteral("online"));
    ASSERT_TRUE(report.message.isEmpty()) << report.message.toStdString();

    FolderServer server(dir.path());
    m_page.load(QUrl(server.url(QStringLiteral("fruit stand/f_fruit stand.htm"))));
    ASSERT_TRUE(mainFrameShows(QStringLiteral("l_fruit stand.htm")));

    // The list shows every item, the escaped texts as typed.
    EXPECT_EQ(js(QStringLiteral("top.List.length")).toInt(), 3);
    const QString list = text(QStringLiteral("frames['m_ain'].document.body.innerText"));
    for (const char *item : {"A1", "Apple \"Gala\"", "B2", "Back\\slash", "C3", "Cherries", "1.25", "3.00", "0.50"})
        EXPECT_TRUE(list.contains(QLatin1String(item))) << item << "\n" << list.toStdString();

    EXPECT_TRUE(text(QStringLiteral("frames['m_ain'].document.body.textContent")).contains(QStringLiteral(" Fruit Stand  Listing")));

    // Quantity box of item n is form 2n-2, its Order button is in form 2n-1.
    const QString order = QStringLiteral(
        "(function(n, q){ var d = frames['m_ain'].document; d.forms[n*2-2].quantity.value = q;"
        " d.forms[n*2-1].elements[0].click(); return d.forms[n*2-2].quantity.value; })(%1, '%2')");
    EXPECT_EQ(text(order.arg(1).arg(2)), QStringLiteral("0"));
    EXPECT_EQ(text(order.arg(2).arg(1)), QStringLiteral("0"));
    EXPECT_EQ(text(QStringLiteral("String(top.List[1].itemquantity) + '/' + top.List[2].itemquantity + '/' + top.List[3].itemquantity")),
              QStringLiteral("2/1/0"));

    js(QStringLiteral("frames['c_ontents'].document.links[1].click()"));  // Show Basket
    ASSERT_TRUE(mainFrameShows(QStringLiteral("b_fruit stand.htm")));
    const QString basket = text(QStringLiteral("frames['m_ain'].document.body.innerText"));
    EXPECT_TRUE(basket.contains(QStringLiteral("A1\tApple \"Gala\"\t1.25\t2\t2.50"))) << basket.toStdString();
    EXPECT_TRUE(basket.contains(QStringLiteral("B2\tBack\\slash\t3.00\t1\t3.00"))) << basket.toStdString();
    EXPECT_FALSE(basket.contains(QStringLiteral("Cherries")));
    EXPECT_TRUE(basket.contains(QStringLiteral("Grand Total\t5.50"))) << basket.toStdString();

    js(QStringLiteral("frames['c_ontents'].document.links[2].click()"));  // Order
    ASSERT_TRUE(mainFrameShows(QStringLiteral("form_fruit stand.htm")));
    EXPECT_EQ(text(QStringLiteral("frames['m_ain'].document.FormOrder.ItemList.value")),
              QStringLiteral("Item List:\nA1 X 2 @ 1.25 = 2.50\nB2 X 1 @ 3.00 = 3.00\n\nTotal Price : 5.50"));
    EXPECT_EQ(text(QStringLiteral("frames['m_ain'].document.FormOrder.AMOUNT.value")), QStringLiteral("5.50"));

    // Remove goes back one page after emptying the item.
    js(QStringLiteral("frames['c_ontents'].document.links[1].click()"));
    ASSERT_TRUE(mainFrameShows(QStringLiteral("b_fruit stand.htm")));
    js(QStringLiteral("frames['m_ain'].document.querySelector(\"input[value='Remove']\").click()"));
    ASSERT_TRUE(mainFrameShows(QStringLiteral("form_fruit stand.htm")));
    EXPECT_EQ(text(QStringLiteral("String(top.List[1].itemquantity)")), QStringLiteral("0"));
    // The basket, shown again, no longer holds the removed item.
    js(QStringLiteral("frames['c_ontents'].document.links[1].click()"));
    ASSERT_TRUE(mainFrameShows(QStringLiteral("b_fruit stand.htm")));
    const QString after = text(QStringLiteral("frames['m_ain'].document.body.innerText"));
    EXPECT_FALSE(after.contains(QStringLiteral("A1"))) << after.toStdString();
    EXPECT_TRUE(after.contains(QStringLiteral("B2\tBack\\slash\t3.00\t1\t3.00"))) << after.toStdString();
    EXPECT_TRUE(after.contains(QStringLiteral("Grand Total\t3.00"))) << after.toStdString();
}

}  // namespace
}  // namespace quorvane
