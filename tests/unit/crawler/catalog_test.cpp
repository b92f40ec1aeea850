// Catalogs filled by double clicks in either view, the hover address, the
// catalog commands, and the adult listing, on the fake host.
#include "crawler/catalog.h"
#include "sitegen/sitegenerator.h"
#include "support/shellfixture.h"
#include "support/testfiles.h"

#include <algorithm>

using namespace quorvane;

namespace {

class CatalogTest : public ShellTest {
protected:
    CatalogTest()
    {
        QStringList names;
        for (int i = 0; i < WindowState::CatalogCount; ++i)
            names << QStringLiteral("name%1").arg(i);
        m_state.Combo1.list.setItems(names);
        // A completed navigation in each view connects its document events;
        // the main view's page puts a.jpg into the image buffer.
        mainView().load("http://c.test/", "<body><a href='http://c.test/a.jpg'>a</a></body>");
        secondView().load("http://d.test/", "<body></body>");
        m_host.scripted().takeRecords();
    }
    void select(int index)
    {
        m_state.Combo1.list.setSelected(index);
        m_state.Combo1.text = m_state.Combo1.list.at(index);
    }
    void dblclick(const char *href, FakeBrowser *view = nullptr)
    {
        emit (view ? *view : mainView()).documentDoubleClick(link(QString::fromLatin1(href)));
    }
    bool catalogsEmpty() const
    {
        return std::all_of(m_state.catalogs.cbegin(), m_state.catalogs.cend(),
                           [](const QString &c) { return c.isEmpty(); });
    }
};

TEST_F(CatalogTest, DoubleClicksFillTheSelectedCatalogAndTakeTheAddressOutOfTheBuffer)
{
    m_state.List2.add("http://c.test/a.jpg");  // a second time: both entries go
    m_state.List2.add("http://c.test/keep.jpg");
    select(2);
    dblclick("http://c.test/a.jpg");
    dblclick("http://c.test/b.jpg");
    EXPECT_EQ(m_state.catalogs.at(2), "<img src='http://c.test/a.jpg'><img src='http://c.test/b.jpg'>");
    EXPECT_EQ(m_state.List2.items(), QStringList{"http://c.test/keep.jpg"});
    EXPECT_EQ(dialogs(), (QStringList{"beep:", "beep:"}));

    menu("viewcatalo");
    EXPECT_EQ(mainView().written(), "<html><body>" + m_state.catalogs.at(2) + "</body></html>");

    dblclick("http://d.test/c.gif", &secondView());
    EXPECT_TRUE(m_state.catalogs.at(2).endsWith("<img src='http://d.test/c.gif'>"));
}

TEST_F(CatalogTest, HoverShowsTheAddressOutsideThePrivateZoneOnly)
{
    emit mainView().documentMouseOver(link("http://c.test/over"));
    EXPECT_EQ(m_state.panelText(1), "http://c.test/over");
    emit mainView().documentMouseOut(link("http://c.test/over"));
    EXPECT_EQ(m_state.panelText(1), QString());
    m_state.setPanelText(1, "kept");
    m_state.setPrivateZone(true);
    emit mainView().documentMouseOver(link("http://c.test/over"));
    EXPECT_EQ(m_state.panelText(1), "kept");
}

TEST_F(CatalogTest, WithoutAUsableCatalogNothingIsFiledAndTheUserIsAskedToChoose)
{
    const QString askMain = QStringLiteral("message: Choose the catalog's name ,please !");
    const struct {
        const char *what;
        int selected;
        const char *typed;  // over the selection
        bool secondView;
        const char *href;
        QStringList dialogs;
    } cases[] = {
        {"an entry beyond the fillable ones", 19, nullptr, false, "http://c.test/a.jpg", {askMain, "beep:"}},
        {"the same in the second view", 19, nullptr, true, "http://d.test/c.gif",
         {"message:Choose a catalig's name , please", "beep:"}},
        // No address under the pointer: only the beep, or the request to choose.
        {"no address, a catalog chosen", 0, nullptr, false, "", {"beep:"}},
        {"no address, no usable catalog", 19, nullptr, false, "", {askMain, "beep:"}},
        // Typing leaves no entry selected: the new name is not filed under the old one.
        {"a typed name", 0, "hats", false, "http://c.test/b.jpg", {"beep:"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        select(c.selected);
        if (c.typed)
            m_state.typeComboText(m_state.Combo1, c.typed);
        dblclick(c.href, c.secondView ? &secondView() : nullptr);
        EXPECT_EQ(dialogs(), c.dialogs);
        EXPECT_TRUE(catalogsEmpty());
    }
}

TEST_F(CatalogTest, LinksAreHeldOnlyWhileADoubleClickWouldFileThem)
{
    const struct {
        const char *what;
        int selected;  // -1: none
        const char *typed;
        bool generator;
        bool holds;
    } cases[] = {
        {"nothing chosen", -1, nullptr, false, false},
        {"the first catalog", 0, nullptr, false, true},
        {"the last fillable catalog", 18, nullptr, false, true},
        {"an entry beyond the fillable ones", 19, nullptr, false, false},
        {"a typed name, no entry", 0, "hats", false, false},
        {"the generator takes pictures", -1, nullptr, true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.selected >= 0) {
            select(c.selected);
        } else {
            m_state.Combo1.list.setSelected(-1);
            m_state.Combo1.text.clear();
        }
        if (c.typed)
            m_state.typeComboText(m_state.Combo1, c.typed);
        if (c.generator)
            m_logic.siteGenerator().show();
        EXPECT_EQ(m_logic.holdsLinkClicks(), c.holds);
    }
}

TEST_F(CatalogTest, WhileTheGeneratorIsShownTheDoubleClickFillsItsPictureField)
{
    m_logic.siteGenerator().show();
    select(1);
    dblclick("http://c.test/pic.jpg");
    EXPECT_EQ(m_logic.siteGenerator().text(6), "http://c.test/pic.jpg");
    EXPECT_TRUE(catalogsEmpty());
}

TEST_F(CatalogTest, ClearAndSaveCatalogOnlyTouchTheSelectedOne)
{
    select(3);
    dblclick("http://c.test/'onerror='x");
    EXPECT_EQ(m_state.catalogs.at(3), "<img src='http://c.test/&#39;onerror=&#39;x'>");

    const QString path = folderFile("cat.htm");
    answer({"file:" + path});
    menu("savecatalog");
    EXPECT_EQ(quorvane::testing::readBytes(path),
              "<html>\r\n\r\n<title>Catalog</title><body><img src='http://c.test/&#39;onerror=&#39;x'>"
              "</body>\r\n</html>\r\n");

    m_state.Combo1.list.setSelected(-1);
    menu("clearcatalog");
    EXPECT_FALSE(m_state.catalogs.at(3).isEmpty());
    select(3);
    menu("clearcatalog");
    EXPECT_TRUE(catalogsEmpty());
    EXPECT_EQ(m_state.panelText(2), "Buffer name3 is clear");
}

TEST_F(CatalogTest, AdultListingCutsHostsAtTheEighthCharacterAndOpensOnlyToParents)
{
    m_state.List4.add("http://queued.test/");
    for (const char *a : {"http://one.test/a", "http://two.test/b/c", "https://three.test/", "mailto:x"})
        m_state.listlinks.add(a);
    menu("createadultlisting");
    EXPECT_TRUE(m_state.List4.isEmpty());
    const QStringList hosts = m_state.domain.items();
    EXPECT_EQ(hosts, (QStringList{"", "one.test", "two.test"}));
    EXPECT_EQ(dialogs(), QStringList{"message:Your adult listing is created and  saved"});

    menu("createadultlisting");
    EXPECT_EQ(m_state.domain.items(), hosts);

    // Editing needs the exact parental password, typed into a masked box.
    m_state.setVisible("domain", false);
    answer({"text:Sun and sea"});
    menu("editadultlisting");
    EXPECT_FALSE(visible("domain"));
    EXPECT_EQ(m_host.scripted().records().last().answer, "***");  // never recorded

    answer({"text:sun and sea"});
    menu("editadultlisting");
    EXPECT_TRUE(visible("domain"));
    EXPECT_EQ(rect("domain"), (QList<int>{0, 1200, 3800, 2200}));
}

}  // namespace
