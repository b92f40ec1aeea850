#include "support/fakehost.h"
#include "automation/statedump.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
class WindowLogicTest : public ::testing::Test {
protected:
    WindowLogicTest() : m_logic(m_state, m_host, Config{}) {}

    void type(ComboBox &combo, const char *text) { m_state.setComboText(combo, QString::fromLatin1(text)); }

    FakeHost m_host;
    WindowState m_state;
    WindowLogic m_logic;
};
}  // namespace

TEST_F(WindowLogicTest, UnknownControlsAreReportedSoScriptsFailLoudly)
{
    EXPECT_FALSE(m_logic.menuClick(QStringLiteral("nosuchmenu")));
    EXPECT_FALSE(m_logic.menuClick(QStringLiteral("file")));  // a menu, not a command
    EXPECT_FALSE(m_logic.menuClick(QStringLiteral("pubch"), 1));
    EXPECT_TRUE(m_logic.menuClick(QStringLiteral("pubch"), 0));
    EXPECT_TRUE(m_logic.menuClick(QStringLiteral("viewcatalo")));
    EXPECT_FALSE(m_logic.buttonUp(QStringLiteral("Picture99"), MouseButton::Left));
    EXPECT_FALSE(m_logic.listClick(QStringLiteral("List99"), 0));
    EXPECT_FALSE(m_logic.keyPress(QStringLiteral("Text1"), Key::Enter));
}

TEST_F(WindowLogicTest, KeywordBoxFilesWordsOnEnterAndRemovesThemOnDelete)
{
    type(m_state.Combo1, "a");
    m_logic.keyPress(QStringLiteral("Combo1"), Key::Enter);
    m_logic.keyPress(QStringLiteral("Combo1"), Key::Enter);  // an empty entry on top
    EXPECT_EQ(m_state.Combo1.list.items(), (QStringList{"", "a"}));
    m_state.Combo1.list.setItems({QStringLiteral("a"), QStringLiteral("b")});
    type(m_state.Combo1, "c");
    m_logic.keyPress(QStringLiteral("Combo1"), Key::Delete);
    EXPECT_EQ(m_state.Combo1.list.items(), (QStringList{"a", "b"}));
    type(m_state.Combo1, "b");
    m_logic.keyPress(QStringLiteral("Combo1"), Key::Delete);
    EXPECT_EQ(m_state.Combo1.list.items(), QStringList{"a"});
    EXPECT_EQ(m_state.Combo1.text, QString());
}

TEST_F(WindowLogicTest, EnterInTheAddressBarRemembersTheAddressAndOpensItInTheVisibleView)
{
    type(m_state.Combo2, "http://a.test/");
    m_logic.keyPress(QStringLiteral("Combo2"), Key::Enter);
    m_logic.keyPress(QStringLiteral("Combo2"), Key::Enter);
    EXPECT_EQ(m_state.Combo2.list.items(), QStringList{"http://a.test/"});
    EXPECT_EQ(m_host.fakeBrowser(QStringLiteral("WebBrowser1")).navigations(),
              (QStringList{"http://a.test/", "http://a.test/"}));
    EXPECT_TRUE(m_host.fakeBrowser(QStringLiteral("WebBrowser5")).navigations().isEmpty());
}

TEST_F(WindowLogicTest, ExitAsksTheWindowToClose)
{
    int closes = 0;
    QObject::connect(&m_logic, &WindowLogic::closeRequested, [&] { ++closes; });
    m_logic.menuClick(QStringLiteral("exit"));
    EXPECT_EQ(closes, 1);
}

TEST_F(WindowLogicTest, DumpNamesEveryControlByItsOwnName)
{
    m_state.listlinks.add(QStringLiteral("http://x/"));
    m_host.scripted().queueAnswer(QStringLiteral("yes"));
    m_host.services().messageBox(QStringLiteral("Sure?"), QStringLiteral("Question???"), WindowServices::Buttons::YesNo);
    m_host.services().messageBox(QStringLiteral("Note"), QStringLiteral("Warning!!!"), WindowServices::Buttons::Ok);
    const QJsonObject dump = dumpState(m_state, m_host, &m_host.scripted());
    EXPECT_EQ(dump[QStringLiteral("listlinks")][QStringLiteral("items")].toArray().at(0).toString(),
              QStringLiteral("http://x/"));
    EXPECT_EQ(dump[QStringLiteral("Combo2")][QStringLiteral("text")].toString(), QStringLiteral("http://"));
    EXPECT_EQ(dump[QStringLiteral("StatusBar1")][QStringLiteral("panels")].toArray().size(), 8);
    EXPECT_EQ(dump[QStringLiteral("privateZone")].toInt(), 0);
    EXPECT_TRUE(dump[QStringLiteral("WebBrowser1")][QStringLiteral("visible")].toBool());
    EXPECT_FALSE(dump[QStringLiteral("Timer9")][QStringLiteral("enabled")].toBool());
    EXPECT_EQ(dump[QStringLiteral("menus")][QStringLiteral("pubs")].toArray().at(0).toString(), QStringLiteral("pubs"));
    const QJsonArray dialogs = dump[QStringLiteral("dialogs")].toArray();
    ASSERT_EQ(dialogs.size(), 2);
    EXPECT_EQ(dialogs.at(0)[QStringLiteral("answer")].toString(), QStringLiteral("yes"));
    EXPECT_FALSE(dialogs.at(1)[QStringLiteral("answered")].toBool());
}
