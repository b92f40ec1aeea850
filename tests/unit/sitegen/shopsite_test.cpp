#include "support/testfiles.h"
#include "core/htmltext.h"
#include "sitegen/cardprofile.h"
#include "sitegen/profilefile.h"
#include "sitegen/shoppages.h"
#include "sitegen/sitegencommand.h"
#include "sitegen/sitegeneration.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QString DataFolder = QStringLiteral(QUORVANE_SOURCE_DIR "/tests/unit/data/sitegen");
const QString ItemScriptName = QStringLiteral("1_my shop.js");

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.sort();
    return names;
}

// The expected file of an order mode: its own copy, else the one the modes share.
QString expectedFile(const QString &mode, const QString &name)
{
    const QString own = DataFolder + QLatin1Char('/') + mode + QLatin1Char('/') + name;
    return QFile::exists(own) ? own : DataFolder + QStringLiteral("/both/") + name;
}

// The twelve-item shop of the expected sites, as its saved profile holds it.
ShopDescription fixtureShop()
{
    return *profilefile::read(readBytes(DataFolder + QStringLiteral("/shop.pro")));
}

class ShopSiteTest : public ::testing::Test {
protected:
    QString site() const { return m_dir.filePath(QStringLiteral("my shop")); }
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(ShopSiteTest, OnlineAndPhoneSitesMatchTheExpectedFilesByteForByte)
{
    for (const char *mode : {"online", "phone"}) {
        SCOPED_TRACE(mode);
        QTemporaryDir dir;
        const GenerationReport report = generateSite(fixtureShop(), dir.path(), QLatin1String(mode));
        EXPECT_TRUE(report.message.isEmpty()) << report.message.toStdString();
        EXPECT_EQ(report.folder, dir.filePath(QStringLiteral("my shop")));
        QStringList expected = filesIn(DataFolder + QStringLiteral("/both"))
                               + filesIn(DataFolder + QLatin1Char('/') + QLatin1String(mode));
        expected.sort();
        ASSERT_EQ(filesIn(report.folder), expected);
        EXPECT_EQ(report.written.size(), 8);
        for (const QString &name : expected)
            EXPECT_EQ(readBytes(report.folder + QLatin1Char('/') + name), readBytes(expectedFile(QLatin1String(mode), name)))
                << name.toStdString();
    }
    // Any other order mode has no order form.
    const GenerationReport report = generateSite(fixtureShop(), m_dir.path(), QString());
    EXPECT_EQ(report.written.size(), 7);
    EXPECT_FALSE(report.written.contains(QStringLiteral("form_my shop.htm")));

    // A header-only list declares zero items.
    ShopDescription shop = fixtureShop();
    shop.entries = QStringList{QStringLiteral("whatever entry 0 holds")};
    EXPECT_TRUE(generateSite(shop, m_dir.path(), QStringLiteral("online")).message.isEmpty());
    QString items = QString::fromUtf8(readBytes(expectedFile(QStringLiteral("online"), ItemScriptName)));
    items.replace(QStringLiteral("MakeArray( 12)"), QStringLiteral("MakeArray( 0)"));
    items.remove(QRegularExpression(QStringLiteral("List\\[ \\d+\\] = new item[^\\n]*\\n")));
    EXPECT_EQ(QString::fromUtf8(readBytes(site() + QLatin1Char('/') + ItemScriptName)), items);
}

TEST_F(ShopSiteTest, MissingInputOrUnsafeCategoryWritesNothing)
{
    const struct {
        const char *category, *goBack;
        bool header;
        const char *message;
    } cases[] = {
        {"Shop", "", true, " You must put the product!"},
        {"", "http://x/", true, " You must put the product!"},
        {"Shop", "http://x/", false, " You must put the product!"},
        {"   ", "http://x/", true, "empty once its outer spaces are removed"},
        {"a/b", "http://x/", true, "path separator"},
        {"a\\b", "http://x/", true, "path separator"},
        {" .. ", "http://x/", true, "\"..\""},
        {".", "http://x/", true, "\"..\""},
        {"a\tb", "http://x/", true, "control character"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.category);
        ShopDescription shop;
        shop.category = QLatin1String(c.category);
        shop.goBack = QLatin1String(c.goBack);
        if (c.header)
            shop.entries = QStringList{shoppages::headerLine()};
        const GenerationReport report = generateSite(shop, m_dir.path(), QStringLiteral("online"));
        EXPECT_TRUE(report.refused);
        EXPECT_TRUE(report.message.contains(QLatin1String(c.message))) << report.message.toStdString();
        EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }
    EXPECT_TRUE(shoppages::siteNameProblem(QString(201, QLatin1Char('x'))).contains(QLatin1String("too long")));
    // A program folder that is a file: the site folder cannot be made there.
    writeBytes(m_dir.filePath(QStringLiteral("plain")), "x");
    const GenerationReport report = generateSite(fixtureShop(), m_dir.filePath(QStringLiteral("plain")), QStringLiteral("phone"));
    EXPECT_TRUE(report.refused);
    EXPECT_TRUE(report.message.contains(QLatin1String("cannot be created")));
}

TEST_F(ShopSiteTest, MalformedEntryKeepsOnlyTheItemScriptFromBeingWritten)
{
    ASSERT_TRUE(QDir().mkpath(site()));
    writeBytes(site() + QLatin1Char('/') + ItemScriptName, "older");
    // No five fields; a price that would run as code; no price at all.
    for (const char *bad : {"X,Y", "A,B,1.5);alert(1);(,p,u,", "A,B,,p,u,"}) {
        SCOPED_TRACE(bad);
        ShopDescription shop = fixtureShop();
        shop.entries.insert(3, QLatin1String(bad));
        const GenerationReport report = generateSite(shop, m_dir.path(), QStringLiteral("online"));
        EXPECT_FALSE(report.refused);
        EXPECT_TRUE(report.message.contains(QStringLiteral("Item entry 3 (\"%1\")").arg(QLatin1String(bad))))
            << report.message.toStdString();
        EXPECT_EQ(report.written.size(), 7);
        EXPECT_FALSE(report.written.contains(ItemScriptName));
        EXPECT_EQ(readBytes(site() + QLatin1Char('/') + ItemScriptName), "older");
    }
}

// Every typed value is written for the place it lands in, once: a value
// holding a template mark stays as typed.
TEST(ShopPages, TypedNamesAndAddressesStayInsideTheirQuotes)
{
    ShopDescription shop = fixtureShop();
    shop.category = QStringLiteral("Tom's \"Best\" <b>Shop & Co #1? 100%");
    shop.goBack = QString::fromUtf8("http://x/h.htm?from=Tom's&say=\"hi\"<b>&path=a\\b«SITE»");
    shop.email = QStringLiteral("o'brien&co@example.com#x?");
    shop.fontStyle = QStringLiteral("<font face=\"Arial\">");
    shop.entries = {shoppages::headerLine(), QStringLiteral("id\\,say \"hi\"\n,2,p,u,")};
    // The file names on disk keep the name; the pages refer to them %-encoded.
    EXPECT_EQ(shoppages::siteName(shop.category), QStringLiteral("tom's \"best\" <b>shop & co #1? 100%"));
    const QString file = QStringLiteral("tom%27s %22best%22 %3Cb%3Eshop &amp; co %231%3F 100%25");
    const QString title = QStringLiteral("TOM'S \"BEST\" &lt;B&gt;SHOP &amp; CO #1? 100%");
    const QString homeLink = QString::fromUtf8(
        "href='http://x/h.htm?from=Tom&#39;s&amp;say=&quot;hi&quot;&lt;b&gt;&amp;path=a\\b«SITE»'");
    const QString homeButton = QString::fromUtf8(
        "onClick=\"window.open('http://x/h.htm?from=Tom\\&#39;s&amp;say=&quot;hi&quot;&lt;b&gt;&amp;path=a\\\\b«SITE»','_top')\"");

    const QString frameset = shoppages::framesetPage(shop);
    EXPECT_TRUE(frameset.contains(QStringLiteral("<title>%1</title>").arg(title))) << frameset.toStdString();
    for (const char *ref : {"<script src='1_%1.js'>", "src='m_%1.htm'", "src='l_%1.htm'"})
        EXPECT_TRUE(frameset.contains(QString::fromLatin1(ref).arg(file))) << ref;
    const QString menu = shoppages::menuPage(shop);
    EXPECT_TRUE(menu.contains(homeLink)) << menu.toStdString();
    EXPECT_TRUE(menu.contains(QStringLiteral("href='form_%1.htm'").arg(file)));
    const QString list = shoppages::listPage(shop);
    EXPECT_TRUE(list.contains(QStringLiteral("<title>%1 List</title>").arg(title)));
    EXPECT_TRUE(list.contains(QStringLiteral("onClick=\"location.href ='b_%1.htm'\"").arg(file)));
    for (const QString &page : {list, shoppages::basketPage(shop), shoppages::paymentFormPage(shop)})
        EXPECT_TRUE(page.contains(homeButton)) << page.toStdString();
    const QString mailForm = shoppages::emailFormPage(shop);
    EXPECT_TRUE(mailForm.contains(QStringLiteral("ACTION='mailto:o&#39;brien&amp;co@example.com%23x%3F?subject=Online Order'")));
    EXPECT_TRUE(mailForm.contains(QStringLiteral("<font face=\"Arial\">")));  // HTML takes the style as written
    // Script strings stay closed and still write the same markup.
    const QString script = shoppages::itemScript(shop).text;
    for (const char *piece : {"List[ 1] = new item(\"id\\\\\",\"say \\\"hi\\\"\\n\",2,0,\"p\",\"u\" )",
                             "<font face=\\\"Arial\\\">",
                             "<b>Tom's \\\"Best\\\" &lt;b&gt;Shop &amp; Co #1? 100% Listing</b>"})
        EXPECT_TRUE(script.contains(QLatin1String(piece))) << piece << '\n' << script.toStdString();

    // Ordinary names and addresses come through unchanged.
    const QString plain = QStringLiteral("Shop-1_a.b/c: d");
    for (const QString &escaped : {escapeHtmlText(plain), escapeHtmlAttribute(plain),
                                   shoppages::siteAddress(plain), shoppages::javaScriptString(plain, QLatin1Char('\''))})
        EXPECT_EQ(escaped, plain);
}

TEST(ShopPages, PricesAreDecimalsWrittenWithoutLeadingZeros)
{
    // The expected sites take "1", "12.00", ".75", "2." and "0.5".
    for (const char *bad : {"", ".", "1.2.3", "-1", "1e3", " 1", "1,5", "abc"})
        EXPECT_FALSE(shoppages::isDecimalNumber(QLatin1String(bad))) << bad;
    // "010" would be octal and "01.50" a syntax error in the item script.
    const struct {
        const char *typed, *written;
    } prices[] = {{"010", "10"},  {"01.50", "1.50"}, {"000", "0"},   {"00.5", "0.5"}, {"05.", "5."},
                  {"0.5", "0.5"}, {".5", ".5"},      {"0", "0"},     {"100", "100"},  {"12.00", "12.00"}};
    for (const auto &p : prices)
        EXPECT_EQ(shoppages::scriptPrice(QLatin1String(p.typed)), QLatin1String(p.written)) << p.typed;
    ShopDescription shop = fixtureShop();
    shop.entries = {shoppages::headerLine(), QStringLiteral("X,Y,01.50,p,u,")};
    EXPECT_TRUE(shoppages::itemScript(shop).text.contains(QStringLiteral("new item(\"X\",\"Y\",1.50,0,\"p\",\"u\" )\r\n")));
    // The profile keeps the price as typed.
    EXPECT_TRUE(profilefile::write(shop).contains("\r\nX,Y,01.50,p,u,\r\n"));

    EXPECT_EQ(shoppages::cutEntry(QStringLiteral("a,b,c,d,e,f,")), QStringList({"a", "b", "c", "d", "e"}));
    EXPECT_EQ(shoppages::cutEntry(QStringLiteral("a,b,c,d,e")), std::nullopt);
    EXPECT_EQ(shoppages::siteName(QStringLiteral("  Mixed Case \t ")), QStringLiteral("mixed case \t"));
}

TEST(ProfileFile, ReadsTheHeadingLinesAndPutsTheHeaderLineFirst)
{
    EXPECT_FALSE(profilefile::read("only\r\nfour\r\nlines\r\nhere\r\n"));
    // Without "[DATA]" the rest is form-action text.
    std::optional<ShopDescription> shop = profilefile::read("c\r\ne\r\ng\r\nt\r\nf\r\nA\r\nB\r\n");
    ASSERT_TRUE(shop);
    EXPECT_EQ(shop->formAction, QStringLiteral("A\r\nB"));
    EXPECT_EQ(shop->entries, QStringList{shoppages::headerLine()});
    // A first entry that is an item gets the header line before it.
    shop = profilefile::read("c\r\ne\r\ng\r\nt\r\nf\r\n\r\n[DATA]\r\nA,B,1,p,u,\r\n");
    ASSERT_TRUE(shop);
    EXPECT_EQ(shop->formAction, QString());
    EXPECT_EQ(shop->entries, QStringList({shoppages::headerLine(), "A,B,1,p,u,"}));
    // A form action that mentions the marker comes back whole.
    shop->formAction = QStringLiteral("<input value='[DATA]'>");
    EXPECT_EQ(profilefile::read(profilefile::write(*shop))->formAction, shop->formAction);
    EXPECT_EQ(profilefile::read(profilefile::write(*shop))->entries, shop->entries);
    shop->formAction = QStringLiteral("X\r\n");
    EXPECT_EQ(profilefile::write(*shop), QByteArray("c\r\ne\r\ng\r\nt\r\nf\r\nX\r\n\r\n[DATA]\r\n")
                                             + shoppages::headerLine().toUtf8() + "\r\nA,B,1,p,u,\r\n");
}

TEST(CardProfileDefaults, DefaultFormActionCarriesTheConfiguredGateway)
{
    CardProfile card(QStringLiteral("pay.example.net"), QStringLiteral("shop42"));
    EXPECT_FALSE(card.exists());
    const QString action = card.formAction();  // reading creates it, hidden
    EXPECT_TRUE(card.exists());
    EXPECT_FALSE(card.visible());
    // The expected shop's profile holds the default text for another gateway.
    QString expected = fixtureShop().formAction;
    expected.replace(QStringLiteral("gateway.example.invalid"), QStringLiteral("pay.example.net"));
    EXPECT_EQ(action, expected.replace(QStringLiteral("YOUR-MERCHANT-LOGIN"), QStringLiteral("shop42")));

    card.setTableStyle(QStringLiteral("<table>"));
    card.show();
    card.Command2_Click();  // Cancel hides and keeps the edit
    EXPECT_FALSE(card.visible());
    EXPECT_EQ(card.tableStyle(), QStringLiteral("<table>"));
    card.close();  // the close control loses it
    EXPECT_FALSE(card.exists());
    EXPECT_EQ(card.tableStyle(), CardProfile::defaultTableStyle());
    EXPECT_EQ(card.fontStyle(), QStringLiteral("<font size='2' face='Verdana' class='std'>"));
}

TEST_F(ShopSiteTest, CommandLineWritesTheSiteOrExplainsWhyNot)
{
    const QString profile = DataFolder + QStringLiteral("/shop.pro");
    const QString broken = m_dir.filePath(QStringLiteral("broken.pro"));
    writeBytes(broken, readBytes(profile) + "broken entry\r\n");
    const struct {
        QStringList args;
        int status;
        QString printed;    // the site folder
        const char *error;  // in the message
    } runs[] = {
        {{profile, "--order-mode", "phone", "--program-folder", m_dir.path()}, 0, site(), ""},
        {{profile, "--order-mode=online"}, 0, m_dir.filePath(QStringLiteral("default/my shop")), ""},
        // A malformed entry: the rest is written, the exit status says it was not whole.
        {{broken, "--order-mode=online", "--program-folder", m_dir.filePath(QStringLiteral("b"))}, 1,
         m_dir.filePath(QStringLiteral("b/my shop")), "Item entry 13 (\"broken entry\")"},
        {{profile}, 2, {}, "--order-mode is required"},
        {{profile, "--order-mode", "fax"}, 2, {}, "bad order mode \"fax\""},
        {{profile, "--order-mode"}, 2, {}, "--order-mode needs a value"},
        {{"--order-mode=online"}, 2, {}, "no profile file given"},
        {{profile, "--colour", "red"}, 2, {}, "unknown option \"--colour\""},
        {{m_dir.filePath(QStringLiteral("none.pro")), "--order-mode=online"}, 2, {}, "cannot read"},
    };
    for (const auto &r : runs) {
        SCOPED_TRACE(r.args.join(QLatin1Char(' ')).toStdString());
        QString out, err;
        QTextStream o(&out), e(&err);
        EXPECT_EQ(runSitegenCommand(r.args, m_dir.filePath(QStringLiteral("default")), o, e), r.status);
        EXPECT_EQ(out, r.printed.isEmpty() ? QString() : r.printed + QLatin1Char('\n'));
        EXPECT_EQ(err.isEmpty(), r.status == 0) << err.toStdString();
        EXPECT_TRUE(err.contains(QLatin1String(r.error))) << err.toStdString();
    }
    EXPECT_EQ(readBytes(site() + QStringLiteral("/form_my shop.htm")),
              readBytes(DataFolder + QStringLiteral("/phone/form_my shop.htm")));
}
