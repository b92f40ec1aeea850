#include "support/shellfixture.h"
#include "support/testfiles.h"
#include "sitegen/shoppages.h"
#include "sitegen/sitegenerator.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QString ShopProfile = QStringLiteral(QUORVANE_SOURCE_DIR "/tests/unit/data/sitegen/shop.pro");
const QStringList Filled{"A", "B", "C", "D", "1.5", "E", "F", "G"};

// The generator window of the whole window logic, typed into and read as a user would.
class SiteGeneratorTest : public ShellTest {
protected:
    void fill(const QStringList &texts)
    {
        for (int i = 0; i < texts.size(); ++i)
            m_gen.setText(i, texts.at(i));
    }
    QStringList fields() const
    {
        QStringList f;
        for (int i = 0; i < SiteGenerator::FieldCount; ++i)
            f.append(m_gen.text(i));
        return f;
    }
    void press(const char *control, int index = -1) { m_gen.click(QLatin1String(control), index); }
    // Clicks a profile button with the file dialog answered by path.
    void withFile(const char *button, const QString &path)
    {
        m_host.scripted().queueAnswer(QStringLiteral("file:") + path);
        press(button);
    }
    // The texts of the message boxes shown since the last call.
    QStringList messages()
    {
        QStringList texts;
        for (const ScriptedServices::Record &r : m_host.scripted().takeRecords()) {
            if (r.kind == QLatin1String("message"))
                texts.append(r.text);
        }
        return texts;
    }

    SiteGenerator &m_gen = m_logic.siteGenerator();
};

}  // namespace

TEST_F(SiteGeneratorTest, MenuEntriesOpenTheWindowAndSetTheOrderMode)
{
    EXPECT_FALSE(m_gen.exists());
    EXPECT_FALSE(m_gen.click(QStringLiteral("Command3")));  // no window, no control
    menu("wshipping");
    EXPECT_TRUE(m_gen.visible());
    EXPECT_EQ(m_state.orderMode(), QStringLiteral("phone"));
    EXPECT_EQ(m_gen.List1().items(), QStringList{shoppages::headerLine()});
    EXPECT_FALSE(m_gen.saveProfileEnabled());

    m_gen.setText(0, QStringLiteral("kept"));
    const quint64 requests = m_gen.showRequests();
    menu("online");  // brought forward, keeps its fields
    EXPECT_EQ(m_state.orderMode(), QStringLiteral("online"));
    EXPECT_EQ(m_gen.text(0), QStringLiteral("kept"));
    EXPECT_GT(m_gen.showRequests(), requests);  // the view raises it although it is shown

    m_gen.close();
    menu("online");  // afresh after its close control
    EXPECT_EQ(m_gen.text(0), QString());
    EXPECT_EQ(m_gen.List1().count(), 1);
}

TEST_F(SiteGeneratorTest, AddChecksEveryFieldAndTheHeaderLineStaysEntryZero)
{
    m_gen.show();
    fill(Filled);
    press("Command3");
    press("Command3");  // the fields stay for the next similar item
    m_gen.setText(4, QStringLiteral("01.50"));  // kept as typed; the item script drops the zero
    press("Command3");
    EXPECT_EQ(m_gen.List1().items(),
              QStringList({shoppages::headerLine(), "C,D,1.5,F,G,", "C,D,1.5,F,G,", "C,D,01.50,F,G,"}));
    EXPECT_TRUE(messages().isEmpty());

    const struct {
        int field;
        const char *text;
        const char *message;
    } refused[] = {
        {0, "", "Fill all fields , please !!!"},
        {5, "", "Fill all fields , please !!!"},
        {3, "Apples, red", "The field \"Item Description\" holds a comma"},
        {7, "a.htm?x=1,2", "The field \"Description URL\" holds a comma"},
        {4, "1,50", "The field \"Price\" holds a comma"},
        {4, "1);x(", "The price \"1);x(\" is not a decimal number"},
    };
    for (const auto &r : refused) {
        SCOPED_TRACE(r.text);
        fill(Filled);
        m_gen.setText(r.field, QString::fromUtf8(r.text));
        press("Command3");
        EXPECT_EQ(m_gen.List1().count(), 4);
        const QStringList shown = messages();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown.first().startsWith(QLatin1String(r.message))) << shown.first().toStdString();
    }
    // A comma in a field outside the item line is harmless.
    fill({"Fruit, veg", "B", "C", "D", "2", "E", "F", "G"});
    press("Command3");
    EXPECT_EQ(m_gen.List1().count(), 5);

    // Double-click removes an item, never the header line.
    m_gen.doubleClick(QStringLiteral("List1"), 0);
    EXPECT_EQ(messages(), QStringList{"The header line cannot be removed."});
    m_gen.doubleClick(QStringLiteral("List1"), -1);  // nothing selected: nothing happens
    m_gen.doubleClick(QStringLiteral("List1"), 1);
    EXPECT_EQ(m_gen.List1().items(),
              QStringList({shoppages::headerLine(), "C,D,1.5,F,G,", "C,D,01.50,F,G,", "C,D,2,F,G,"}));

    press("Command8");  // New: empty fields, header only
    EXPECT_EQ(fields(), QStringList(8));
    EXPECT_EQ(m_gen.List1().items(), QStringList{shoppages::headerLine()});
    fill(Filled);
    press("Command3");
    EXPECT_EQ(m_gen.List1().at(1), QStringLiteral("C,D,1.5,F,G,"));  // the first item is not skipped
}

TEST_F(SiteGeneratorTest, SelectCutsTheEntryAtCommasIntoTheItemFields)
{
    m_gen.show();
    fill({"cat", "back", "2", "3", "4", "mail", "6", "7"});
    press("List1", 0);
    EXPECT_EQ(fields(), QStringList({"cat", "back", "Item ID ", " Item Description ", " Item Price ", "mail",
                                     "Item Picture URL", " Item Description URL "}));

    // An "X,Y" entry comes only from a profile; opening one leaves the item fields.
    writeBytes(folderFile("xy.pro"),
               "cat\r\nmail\r\nback\r\nt\r\nf\r\n[DATA]\r\n" + shoppages::headerLine().toUtf8() + "\r\nX,Y\r\n");
    withFile("Command6", folderFile("xy.pro"));
    EXPECT_EQ(m_gen.text(2), QStringLiteral("Item ID "));
    m_gen.setText(3, QStringLiteral("kept3"));
    m_gen.setText(6, QStringLiteral("kept6"));
    press("List1", 1);
    EXPECT_EQ(fields(), QStringList({"cat", "back", "X", "kept3", "X", "mail", "kept6", "X"}));
    EXPECT_EQ(m_gen.List1().selected(), 1);

    // Get it takes the address bar text as the description address.
    m_state.setComboText(m_state.Combo2, QStringLiteral("http://example.com/item.htm"));
    press("Command7");
    EXPECT_EQ(m_gen.text(7), QStringLiteral("http://example.com/item.htm"));
}

TEST_F(SiteGeneratorTest, SaveProfileWritesTheShopAndOpenRestoresItExactly)
{
    m_gen.show();
    withFile("Command6", ShopProfile);
    EXPECT_EQ(m_gen.List1().count(), 13);

    // A cancelled dialog or a file that cannot be read changes nothing: see
    // also the saved profile below.
    const QStringList before = fields();
    press("Command6");
    for (const QString &file : {folderFile("missing.pro"), m_folder.path()})
        withFile("Command6", file);
    EXPECT_EQ(fields(), before);
    const QStringList shown = messages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown.first().endsWith(QLatin1String("cannot be read as a profile file.")));

    // Disabled until the first Generate, even a refused one.
    withFile("Command5", folderFile("never.pro"));
    EXPECT_FALSE(QFile::exists(folderFile("never.pro")));
    const QString goBack = m_gen.text(1);
    m_gen.setText(1, QString());
    press("Command1");
    EXPECT_EQ(messages(), QStringList{" You must put the product!"});
    EXPECT_TRUE(m_gen.saveProfileEnabled());
    m_gen.setText(1, goBack);

    withFile("Command5", folderFile("saved.pro"));
    EXPECT_EQ(m_host.scripted().records().first().text, QStringLiteral("Profile file (*.pro)|*.pro"));
    EXPECT_EQ(readBytes(folderFile("saved.pro")), readBytes(ShopProfile));

    // Edited card texts are saved and opened again, a form action without a final line break as it was.
    const QString action = QStringLiteral("<form NAME='FormOrder' action='x'>\r\n<input name='AMOUNT'>\r\n<input name='LOGIN'>");
    m_gen.cardProfile().setFormAction(action);
    m_gen.cardProfile().setTableStyle(QStringLiteral("<table border=2>"));
    withFile("Command5", folderFile("three.pro"));
    const QStringList items = m_gen.List1().items();

    m_logic.Form_Unload();  // closes both windows
    EXPECT_FALSE(m_gen.exists());
    EXPECT_FALSE(m_gen.cardProfile().exists());
    m_gen.show();
    withFile("Command6", folderFile("three.pro"));
    EXPECT_EQ(m_gen.List1().items(), items);  // no second header line
    EXPECT_EQ(m_gen.cardProfile().formAction(), action);
    EXPECT_EQ(m_gen.cardProfile().tableStyle(), QStringLiteral("<table border=2>"));
    EXPECT_EQ(fields().mid(0, 2), QStringList({" My Shop ", goBack}));
    EXPECT_EQ(m_gen.text(5), QStringLiteral("orders@example.com"));
}

TEST_F(SiteGeneratorTest, GenerateUsesTheCardProfileAndPreviewShowsTheFramesetOfASafeName)
{
    menu("online");
    fill({" My Shop ", "http://back/", "C", "D", "1.5", "e@x", "F", "G"});
    press("Command3");
    press("Command2");  // Action
    EXPECT_TRUE(m_gen.cardProfile().visible());
    m_gen.cardProfile().setTableStyle(QStringLiteral("<table id='mine'>"));
    m_gen.cardProfile().Command2_Click();
    const QString workingFolder = QDir::currentPath();
    press("Command1");
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(QDir::currentPath(), workingFolder);  // written by full path
    const QString site = folderFile("my shop");
    const QByteArray form = readBytes(site + QStringLiteral("/form_my shop.htm"));
    EXPECT_TRUE(form.contains("<table id='mine'>"));
    EXPECT_TRUE(form.contains("authnet25"));  // the payment form

    // With the second view shown, the preview must not load into the hidden main view.
    mainView().setVisible(false);
    m_host.fakeBrowser(BrowserId::SecondView).setVisible(true);
    press("Command4");
    EXPECT_FALSE(m_gen.visible());
    EXPECT_TRUE(m_gen.exists());
    EXPECT_TRUE(mainView().isVisible());
    EXPECT_FALSE(m_host.fakeBrowser(BrowserId::SecondView).isVisible());
    EXPECT_TRUE(m_state.control("WebBrowser1").visible);
    EXPECT_FALSE(m_state.control("WebBrowser5").visible);
    EXPECT_EQ(mainView().navigations().last(), QUrl::fromLocalFile(site + QStringLiteral("/f_my shop.htm")).toString());


    // A category that cannot name a folder: Generate and Preview refuse with a message.
    m_gen.show();
    m_gen.setText(0, QStringLiteral("../escape"));
    press("Command1");
    press("Command4");
    const QStringList shown = messages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown.at(0).contains(QLatin1String("cannot name the site folder")));
    EXPECT_TRUE(m_gen.visible());  // Preview did not go anywhere
    EXPECT_EQ(mainView().navigations().size(), 1);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"my shop"});
    EXPECT_FALSE(QFile::exists(m_folder.filePath(QStringLiteral("../escape"))));

}
