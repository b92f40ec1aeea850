#include "testsupport.h"

#include "support/testfiles.h"

#include "sitegen/cardprofile.h"
#include "sitegen/shoppages.h"
#include "sitegen/sitegeneration.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QUrl>
#include <QWebEnginePage>

namespace quorvane {
namespace {

// The address of a file of the served folder, whose path may hold spaces.
QString fileUrl(const LoopbackServer &server, const QString &path)
{
    return urlOf(server, '/' + QUrl::toPercentEncoding(path, "/").toStdString());
}

class ShopInBrowser : public ::testing::Test {
protected:
    ShopInBrowser() : m_page(WebEngineApp::profile()) {}

    QVariant js(const QString &source) { return runScript(&m_page, source); }
    QString text(const QString &source) { return js(source).toString(); }
    // Waits until the main frame shows the page and has finished loading it.
    bool mainFrameShows(const QString &file)
    {
        QString quoted = file;
        quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
        const QString check = QStringLiteral(
            "(function(){ var f = frames['m_ain']; return !!f && decodeURIComponent(f.location.pathname)"
            ".endsWith('/%1') && f.document.readyState == 'complete'; })()").arg(quoted);
        return waitUntil([&] { return js(check).toBool(); }, 15000);
    }
    // Clicks the element a script expression names, then waits as above.
    bool clickTo(const QString &element, const QString &file)
    {
        js(element + QStringLiteral(".click()"));
        return mainFrameShows(file);
    }
    QString mainText() { return text(QStringLiteral("frames['m_ain'].document.body.innerText")); }
    static void expectHolds(const QString &page, std::initializer_list<const char *> parts)
    {
        for (const char *part : parts)
            EXPECT_TRUE(page.contains(QString::fromUtf8(part))) << part << "\n" << page.toStdString();
    }

    // A shop of the entries given, in the card profile's styles.
    static ShopDescription shopOf(const QString &category, const QString &goBack, const QStringList &entries)
    {
        CardProfile card(QStringLiteral("gateway.example.invalid"), QStringLiteral("login"));
        ShopDescription shop;
        shop.category = category;
        shop.goBack = goBack;
        shop.email = QStringLiteral("orders@example.com");
        shop.tableStyle = card.tableStyle();
        shop.fontStyle = card.fontStyle();
        shop.formAction = card.formAction();
        shop.entries = QStringList{shoppages::headerLine()} + entries;
        return shop;
    }

    QWebEnginePage m_page;
};

TEST_F(ShopInBrowser, ListBasketOrderFormAndRemoveWorkAcrossFrames)
{
    QTemporaryDir dir;
    const ShopDescription shop = shopOf(QStringLiteral(" Fruit Stand "), QStringLiteral("about:blank"),
                                        {QStringLiteral("A1,Apple \"Gala\",1.25,a.gif,a.htm,"),
                                         QStringLiteral("B2,Back\\slash,3,b.gif,b.htm,"),
                                         QStringLiteral("C3,Cherries,0.5,c.gif,c.htm,")});
    const GenerationReport report = generateSite(shop, dir.path(), QStringLiteral("online"));
    ASSERT_TRUE(report.message.isEmpty()) << report.message.toStdString();

    LoopbackServer server(quickServer({}, dir.path().toStdString()));
    m_page.load(QUrl(fileUrl(server, QStringLiteral("fruit stand/f_fruit stand.htm"))));
    ASSERT_TRUE(mainFrameShows(QStringLiteral("l_fruit stand.htm")));

    // The list shows every item, the escaped texts as typed.
    EXPECT_EQ(js(QStringLiteral("top.List.length")).toInt(), 3);
    expectHolds(mainText(), {"A1", "Apple \"Gala\"", "B2", "Back\\slash", "C3", "Cherries", "1.25", "3.00", "0.50"});

    EXPECT_TRUE(text(QStringLiteral("frames['m_ain'].document.body.textContent")).contains(QStringLiteral(" Fruit Stand  Listing")));

    // Quantity box of item n is form 2n-2, its Order button is in form 2n-1.
    const QString order = QStringLiteral(
        "(function(n, q){ var d = frames['m_ain'].document; d.forms[n*2-2].quantity.value = q;"
        " d.forms[n*2-1].elements[0].click(); return d.forms[n*2-2].quantity.value; })(%1, '%2')");
    EXPECT_EQ(text(order.arg(1).arg(2)), QStringLiteral("0"));
    EXPECT_EQ(text(order.arg(2).arg(1)), QStringLiteral("0"));
    EXPECT_EQ(text(QStringLiteral("String(top.List[1].itemquantity) + '/' + top.List[2].itemquantity + '/' + top.List[3].itemquantity")),
              QStringLiteral("2/1/0"));

    const QString showBasket = QStringLiteral("frames['c_ontents'].document.links[1]");
    ASSERT_TRUE(clickTo(showBasket, QStringLiteral("b_fruit stand.htm")));
    expectHolds(mainText(), {"A1\tApple \"Gala\"\t1.25\t2\t2.50", "B2\tBack\\slash\t3.00\t1\t3.00", "Grand Total\t5.50"});
    EXPECT_FALSE(mainText().contains(QStringLiteral("Cherries")));

    ASSERT_TRUE(clickTo(QStringLiteral("frames['c_ontents'].document.links[2]"), QStringLiteral("form_fruit stand.htm")));
    EXPECT_EQ(text(QStringLiteral("frames['m_ain'].document.FormOrder.ItemList.value")),
              QStringLiteral("Item List:\nA1 X 2 @ 1.25 = 2.50\nB2 X 1 @ 3.00 = 3.00\n\nTotal Price : 5.50"));
    EXPECT_EQ(text(QStringLiteral("frames['m_ain'].document.FormOrder.AMOUNT.value")), QStringLiteral("5.50"));

    // Remove goes back one page after emptying the item.
    ASSERT_TRUE(clickTo(showBasket, QStringLiteral("b_fruit stand.htm")));
    ASSERT_TRUE(clickTo(QStringLiteral("frames['m_ain'].document.querySelector(\"input[value='Remove']\")"),
                        QStringLiteral("form_fruit stand.htm")));
    EXPECT_EQ(text(QStringLiteral("String(top.List[1].itemquantity)")), QStringLiteral("0"));
    // The basket, shown again, no longer holds the removed item.
    ASSERT_TRUE(clickTo(showBasket, QStringLiteral("b_fruit stand.htm")));
    expectHolds(mainText(), {"B2\tBack\\slash\t3.00\t1\t3.00", "Grand Total\t3.00"});
    EXPECT_FALSE(mainText().contains(QStringLiteral("A1")));
}

// Quotes, markup, "&", "#", "?" and "%" in the Category name and the Go back
// URL must neither break the pages nor reach them as markup.
TEST_F(ShopInBrowser, ShopNamedWithQuotesAndMarkupWorksAndGoesHomeToTheTypedAddress)
{
    QTemporaryDir dir;
    testing::writeBytes(dir.filePath(QStringLiteral("home.htm")), "<html><body>home</body></html>");
    LoopbackServer server(quickServer({}, dir.path().toStdString()));
    // Leading zeros: neither octal nor a syntax error in the item script.
    const ShopDescription shop = shopOf(
        QStringLiteral("Tom's \"Best\" <b>Shop & Co #1? 100%"),
        fileUrl(server, QStringLiteral("home.htm")) + QStringLiteral("?from=Tom's&say=\"hi\"<b>&path=a\\b"),
        {QStringLiteral("T1,Tea,0.05,t.gif,t.htm,"), QStringLiteral("K1,Kettle,010,k.gif,k.htm,"),
         QStringLiteral("S1,Spoon,01.50,s.gif,s.htm,")});
    const GenerationReport report = generateSite(shop, dir.path(), QStringLiteral("online"));
    ASSERT_TRUE(report.message.isEmpty()) << report.message.toStdString();
    const QString site = shoppages::siteName(shop.category);
    ASSERT_EQ(report.folder, dir.filePath(site));

    m_page.load(QUrl(fileUrl(server, site + QStringLiteral("/f_") + site + QStringLiteral(".htm"))));
    ASSERT_TRUE(mainFrameShows(QStringLiteral("l_%1.htm").arg(site)));
    EXPECT_EQ(text(QStringLiteral("document.title")), shop.category.toUpper());
    EXPECT_EQ(js(QStringLiteral("top.List.length")).toInt(), 3);
    expectHolds(mainText(), {"Tea", "0.05", "Kettle", "10.00", "Spoon", "1.50"});
    EXPECT_EQ(text(QStringLiteral("frames['m_ain'].document.querySelector('th').textContent")),
              shop.category + QStringLiteral(" Listing"));
    EXPECT_EQ(js(QStringLiteral("frames['m_ain'].document.querySelectorAll('th b').length")).toInt(), 1);

    EXPECT_EQ(text(QStringLiteral("frames['c_ontents'].document.links[3].getAttribute('href')")), shop.goBack);
    // What each page's Home button hands to window.open.
    const QString home = QStringLiteral(
        "(function(){ var f = frames['m_ain']; var opened = ''; f.open = function(u, t){ opened = u + '|' + t; };"
        " f.document.querySelector(\"input[value='Home']\").click(); return opened; })()");
    EXPECT_EQ(text(home), shop.goBack + QStringLiteral("|_top"));

    // One item of 0.05: the basket and the order form show five cents, not fifty.
    js(QStringLiteral("(function(){ var d = frames['m_ain'].document; d.forms[0].quantity.value = '1';"
                      " d.forms[1].elements[0].click(); })()"));
    ASSERT_TRUE(clickTo(QStringLiteral("frames['m_ain'].document.querySelector(\"input[value='Basket']\")"),
                        QStringLiteral("b_%1.htm").arg(site)));
    expectHolds(mainText(), {"T1\tTea\t0.05\t1\t0.05", "Grand Total\t0.05"});
    EXPECT_EQ(text(home), shop.goBack + QStringLiteral("|_top"));

    ASSERT_TRUE(clickTo(QStringLiteral("frames['m_ain'].document.querySelector(\"input[value='Order']\")"),
                        QStringLiteral("form_%1.htm").arg(site)));
    EXPECT_EQ(text(QStringLiteral("frames['m_ain'].document.FormOrder.ItemList.value")),
              QStringLiteral("Item List:\nT1 X 1 @ 0.05 = 0.05\n\nTotal Price : 0.05"));
    EXPECT_EQ(text(QStringLiteral("frames['m_ain'].document.FormOrder.AMOUNT.value")), QStringLiteral("0.05"));
    EXPECT_EQ(text(home), shop.goBack + QStringLiteral("|_top"));

    // The menu's Home link takes the whole window to the typed address.
    js(QStringLiteral("frames['c_ontents'].document.links[3].click()"));
    ASSERT_TRUE(waitUntil([&] { return m_page.url().path() == QLatin1String("/home.htm")
                                    && text(QStringLiteral("document.readyState")) == QLatin1String("complete"); },
                          15000));
    EXPECT_EQ(text(QStringLiteral("(function(){ var q = new URLSearchParams(location.search);"
                                  " return [q.get('from'), q.get('say'), q.get('path')].join('|'); })()")),
              QStringLiteral("Tom's|\"hi\"<b>|a\\b"));
}

}  // namespace
}  // namespace quorvane
