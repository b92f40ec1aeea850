// Catalogs filled by double clicks in either view, the hover address, the
// catalog commands, and the adult listing, on the fake host.
#include "crawler/catalog.h"
#include "sitegen/sitegenerator.h"
#include "support/shellfixture.h"

#include <QFile>

using namespace quorvane;

namespace {

HtmlElement link(const char *href)
{
    HtmlElement e;
    e.tagName = QStringLiteral("A");
    e.href = QString::fromLatin1(href);
    return e;
}

class CatalogTest : public ShellTest {
protected:
    CatalogTest()
    {
        QStringList names;
        for (int i = 0; i < 21; ++i)
            names << QStringLiteral("name%1").arg(i);
        m_state.Combo1.list.setItems(names);
        mainView().load(QStringLiteral("http://c.test/"), QStringLiteral("<body><a href='http://c.test/a.jpg'>a</a></body>"));
        m_host.scripted().takeRecords();
    }
    void select(int index)
    {
        m_state.Combo1.list.setSelected(index);
        m_state.Combo1.text = m_state.Combo1.list.at(index);
    }
    void dblclick(const char *href) { emit mainView().documentDoubleClick(link(href)); }
    QStringList dialogKinds()
    {
        QStringList kinds;
        for (const auto &r : m_host.scripted().takeRecords())
            kinds << r.kind + QLatin1Char(':') + r.text;
        return kinds;
    }
    bool catalogsEmpty() const
    {
        for (const QString &c : m_state.catalogs) {
            if (!c.isEmpty())
                return false;
        }
        return true;
    }
};

TEST_F(CatalogTest, DoubleClicksFillTheSelectedCatalogAndTakeTheAddressOutOfTheBuffer)
{
    m_state.List2.add(QStringLiteral("http://c.test/a.jpg"));
    m_state.List2.add(QStringLiteral("http://c.test/keep.jpg"));
    select(2);
    dblclick("http://c.test/a.jpg");
    dblclick("http://c.test/b.jpg");
    EXPECT_EQ(m_state.catalogs.at(2),
              QStringLiteral("<img src='http://c.test/a.jpg'><img src='http://c.test/b.jpg'>"));
    EXPECT_EQ(m_state.List2.items(), QStringList{QStringLiteral("http://c.test/keep.jpg")});
    EXPECT_EQ(dialogKinds(), (QStringList{QStringLiteral("beep:"), QStringLiteral("beep:")}));

    menu("viewcatalo");
    EXPECT_EQ(mainView().written(), QStringLiteral("<html><body>") + m_state.catalogs.at(2) + QStringLiteral("</body></html>"));

    // The second view's document events, once its navigation completed.
    showSecondView();
    secondView().load(QStringLiteral("http://d.test/"), QStringLiteral("<body></body>"));
    emit secondView().documentDoubleClick(link("http://d.test/c.gif"));
    EXPECT_TRUE(m_state.catalogs.at(2).endsWith(QStringLiteral("<img src='http://d.test/c.gif'>")));
}

TEST_F(CatalogTest, WithoutAUsableEntryADoubleClickBeepsOrAsksForAName)
{
    m_state.Combo1.text = QStringLiteral("typed");
    dblclick("http://c.test/a.jpg");
    EXPECT_TRUE(catalogsEmpty());
    EXPECT_EQ(dialogKinds(), QStringList{QStringLiteral("beep:")});

    select(19);
    dblclick("http://c.test/a.jpg");
    EXPECT_EQ(dialogKinds(), (QStringList{QStringLiteral("message: Choose the catalog's name ,please !"),
                                          QStringLiteral("beep:")}));
    showSecondView();
    secondView().load(QStringLiteral("http://d.test/"), QStringLiteral("<body></body>"));
    m_host.scripted().takeRecords();
    emit secondView().documentDoubleClick(link("http://d.test/c.gif"));
    EXPECT_EQ(dialogKinds(), (QStringList{QStringLiteral("message:Choose a catalig's name , please"),
                                          QStringLiteral("beep:")}));
    EXPECT_TRUE(catalogsEmpty());

    // No address under the pointer: nothing is filed; with a catalog chosen
    // only the beep, without one the request to choose it.
    select(0);
    emit mainView().documentDoubleClick(HtmlElement{});
    EXPECT_TRUE(catalogsEmpty());
    EXPECT_EQ(dialogKinds(), QStringList{QStringLiteral("beep:")});
    select(19);
    emit mainView().documentDoubleClick(HtmlElement{});
    EXPECT_EQ(dialogKinds(), (QStringList{QStringLiteral("message: Choose the catalog's name ,please !"),
                                          QStringLiteral("beep:")}));
    EXPECT_TRUE(catalogsEmpty());

    // Typing a new name leaves no entry selected: the chosen catalog is not
    // filed under the old one.
    select(0);
    m_state.typeComboText(m_state.Combo1, QStringLiteral("hats"));
    EXPECT_EQ(m_state.Combo1.selected(), -1);
    dblclick("http://c.test/b.jpg");
    EXPECT_TRUE(catalogsEmpty());
}

TEST_F(CatalogTest, WhileTheGeneratorIsShownTheDoubleClickFillsItsPictureField)
{
    m_logic.siteGenerator().show();
    select(1);
    dblclick("http://c.test/pic.jpg");
    EXPECT_EQ(m_logic.siteGenerator().text(6), QStringLiteral("http://c.test/pic.jpg"));
    EXPECT_TRUE(catalogsEmpty());
}

TEST_F(CatalogTest, HoverShowsTheAddressOutsideThePrivateZoneOnly)
{
    emit mainView().documentMouseOver(link("http://c.test/over"));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("http://c.test/over"));
    emit mainView().documentMouseOut(link("http://c.test/over"));
    EXPECT_EQ(m_state.panelText(1), QString());

    m_state.setPanelText(1, QStringLiteral("kept"));
    m_state.setPrivateZone(true);
    emit mainView().documentMouseOver(link("http://c.test/over"));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("kept"));
}

TEST_F(CatalogTest, ClearAndSaveCatalogOnlyTouchTheSelectedOne)
{
    select(3);
    dblclick("http://c.test/'onerror='x");
    EXPECT_EQ(m_state.catalogs.at(3), QStringLiteral("<img src='http://c.test/&#39;onerror=&#39;x'>"));

    const QString path = folderFile("cat.htm");
    m_host.scripted().queueAnswer(QStringLiteral("file:") + path);
    menu("savecatalog");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "<html>\r\n\r\n<title>Catalog</title><body><img src='http://c.test/&#39;onerror=&#39;x'>"
                              "</body>\r\n</html>\r\n");

    m_state.Combo1.list.setSelected(-1);
    menu("clearcatalog");
    EXPECT_FALSE(m_state.catalogs.at(3).isEmpty());
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Choose the catalog's name first ! "));

    select(3);
    menu("clearcatalog");
    EXPECT_TRUE(catalogsEmpty());
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Buffer name3 is clear"));
}

TEST_F(CatalogTest, CreateAdultListingCutsHostsAtTheEighthCharacter)
{
    m_state.List4.add(QStringLiteral("http://queued.test/"));
    for (const char *a : {"http://one.test/a", "http://two.test/b/c", "https://three.test/", "mailto:x"})
        m_state.listlinks.add(QString::fromLatin1(a));
    menu("createadultlisting");
    EXPECT_TRUE(m_state.List4.isEmpty());
    QStringList hosts = m_state.domain.items();
    EXPECT_EQ(hosts, (QStringList{QString(), QStringLiteral("one.test"), QStringLiteral("two.test")}));
    EXPECT_EQ(dialogKinds(), QStringList{QStringLiteral("message:Your adult listing is created and  saved")});

    menu("createadultlisting");
    EXPECT_EQ(m_state.domain.items(), hosts);
}

TEST_F(CatalogTest, EditAdultListingNeedsTheExactParentalPasswordInAMaskedBox)
{
    m_state.setVisible(QStringLiteral("domain"), false);
    m_host.scripted().queueAnswer(QStringLiteral("text:Sun and sea"));
    menu("editadultlisting");
    EXPECT_FALSE(m_state.control(QStringLiteral("domain")).visible);
    const auto asked = m_host.scripted().takeRecords();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().title, QStringLiteral("Only parents!!!"));
    EXPECT_EQ(asked.first().answer, QStringLiteral("***"));

    m_host.scripted().queueAnswer(QStringLiteral("text:sun and sea"));
    menu("editadultlisting");
    const ControlState domain = m_state.control(QStringLiteral("domain"));
    EXPECT_TRUE(domain.visible);
    EXPECT_EQ(domain.left, 0);
    EXPECT_EQ(domain.top, 1200);
    EXPECT_EQ(domain.width, 3800);
    EXPECT_EQ(domain.height, 2200);
}

}  // namespace
