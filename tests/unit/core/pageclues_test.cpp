#include "core/pageclues.h"

#include <gtest/gtest.h>

using namespace quorvane;

TEST(PageClues, FlagsMissingAndParkedPagesAndNotOrdinaryOnes)
{
    const QString article = QStringLiteral(
        "When a visitor follows a dead link, a good site answers with a helpful page. "
        "Many themes print 'the page you are looking for could not be found' and a search box. ") .repeated(30);
    const QString parkingArticle = QStringLiteral(
        "Domain parking explained: a registrar shows 'this domain is for sale' on names nobody uses. ").repeated(60);
    const struct {
        const char *what;
        PageWords page;
        PageClues clues;
    } cases[] = {
        // Missing pages.
        {"server default", {"a.test", "404 Not Found", "Not Found", "Not Found The requested URL /x was not found on this server."}, {true, false}},
        {"theme title", {"shop.test", "Page not found – My Shop", "", "Home Shop Contact"}, {true, false}},
        {"error title", {"shop.test", "Error 404 | Shop", "", "Back to the shop"}, {true, false}},
        {"heading only", {"b.test", "My Blog", "Oops! That page can’t be found.", "Try a search."}, {true, false}},
        {"sentence only", {"c.test", "Welcome", "", "Sorry, the page you requested could not be found. Go home."}, {true, false}},
        {"german", {"d.test", "Seite nicht gefunden - Laden", "", ""}, {true, false}},
        {"search engine style", {"e.test", "Error 404 (Not Found)!!1", "", "404. That’s an error. The requested URL was not found on this server."}, {true, false}},
        // Parked domains.
        {"for sale", {"cheap-shoes.test", "cheap-shoes.test", "", "This domain is for sale! Make an offer today."}, {false, true}},
        {"for sale in title", {"x.test", "The domain x.test is for sale", "", "Contact the owner"}, {false, true}},
        {"parked free", {"y.test", "y.test", "", "y.test is parked free, courtesy of Registrar.test. Related links"}, {false, true}},
        {"titled with its host", {"www.z.test", "z.test", "", "z.test Related Searches Buy domains Cheap hosting"}, {false, true}},
        {"host title and domain words", {"www.z.test", "z.test", "", "Inquire about this domain"}, {false, true}},
        {"registered", {"w.test", "w.test", "", "This domain has recently been registered with Host.test"}, {false, true}},
        // Ordinary pages, including ones that use the words.
        {"article about 404 pages", {"f.test", "How to fix a 404 error on your shop", "How to fix a 404 error", article}, {false, false}},
        {"lost and found", {"g.test", "Lost and Found | City Hall", "Lost and Found", "Report a lost item."}, {false, false}},
        {"no results", {"h.test", "Search results", "No results found", "Nothing matched your search for shoes."}, {false, false}},
        {"not found what you wanted", {"i.test", "Help", "Not found what you're looking for?", "Call us."}, {false, false}},
        {"house for sale", {"j.test", "House for sale - Realty", "", "A lovely house for sale near the sea."}, {false, false}},
        {"registrar", {"k.test", "Find your perfect domain name", "", "Search millions of domains for sale and register yours."}, {false, false}},
        {"article about parking", {"l.test", "What is domain parking?", "", parkingArticle}, {false, false}},
        {"shop page", {"m.test", "Red Shoes - Shop", "Red Shoes", "Size 42. In stock. Add to cart."}, {false, false}},
        {"empty", {}, {false, false}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(readPageClues(c.page), c.clues);
    }
}

// The clues read the same whatever white space, case or characters the words
// come with: the quick literal tests must never hide a match the patterns make.
TEST(PageClues, SpacingCaseAndNonAsciiTextReadAsThePatternsDo)
{
    const struct {
        const char *what;
        QString text;
        PageClues clues;
    } cases[] = {
        {"tabs and line ends", QStringLiteral("Sorry!\n\nThe page\t\tyou\r\nrequested could not be found."), {true, false}},
        {"capitals", QStringLiteral("THE FILE YOU ARE LOOKING FOR DOES NOT EXIST"), {true, false}},
        {"no-break spaces", QStringLiteral("The page\u00a0you requested\u00a0was not found"), {true, false}},
        {"vowel separator", QStringLiteral("The page\u180eyou requested could not be found"), {true, false}},
        {"curly apostrophe", QStringLiteral("Ünser Laden: we couldn\u2019t find that page"), {true, false}},
        {"server words", QStringLiteral("The requested URL /a was not found on this server."), {true, false}},
        {"parked without the word domain", QStringLiteral("This website is parked with Host.test"), {false, true}},
        {"name for sale", QStringLiteral("cheap.test is for sale"), {false, true}},
        {"words apart", QStringLiteral("Your page: you will love it. We find them for you. The domain of art."), {false, false}},
        {"non-ascii ordinary", QStringLiteral("Grüße aus der Straße, café und crème"), {false, false}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(readPageClues({QStringLiteral("other.test"), QStringLiteral("Welcome"), {}, c.text}), c.clues);
    }
}

TEST(PageClues, WordsAndParagraphsFromMarkup)
{
    const struct {
        const char *what;
        const char *html;
        const char *title;
        const char *heading;
        const char *text;
        int paragraphs;
    } cases[] = {
        {"plain page", "<html><head><title>Shop</title></head><body><h1>Red shoes</h1><p>Size 42.</p><p>In stock</body>",
         "Shop", "Red shoes", "Red shoes Size 42. In stock", 2},
        {"tags in any case, attributes", "<TITLE lang=en>A &amp; B</Title><H1 class='x'>Top <b>news</b></h1><P class=y>one<P>two",
         "A & B", "Top news", "Top news one two", 2},
        // Text after a tag starting "<title" is skipped to the next "</title".
        {"look-alike tags", "<titles>x</titles><h10>y</h10><pre>z</pre><param>", "", "", "y z", 0},
        {"scripts and styles skipped", "<p>a<script>var t = '<p>';</SCRIPT>b<style>p{}</style>c</p>", "", "", "a b c", 2},
        {"unclosed title and heading", "<h1>Heading <title>Name", "Name", "Heading Name", "Heading", 0},
        {"no markup", "just text", "", "", "just text", 0},
        {"empty", "", "", "", "", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString html = QString::fromUtf8(c.html);
        const PageWords words = pageWordsFromHtml(QStringLiteral("http://www.shop.test/a"), html);
        EXPECT_EQ(words.host, QStringLiteral("www.shop.test"));
        EXPECT_EQ(words.title, QString::fromUtf8(c.title));
        EXPECT_EQ(words.heading, QString::fromUtf8(c.heading));
        EXPECT_EQ(words.text, QString::fromUtf8(c.text));
        EXPECT_EQ(paragraphCount(html), c.paragraphs);
    }
}
