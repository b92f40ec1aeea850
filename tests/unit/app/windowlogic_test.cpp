#include "support/shellfixture.h"
#include "automation/statedump.h"

#include <QJsonArray>
#include <QJsonObject>

using namespace quorvane;

namespace {
class WindowLogicTest : public ShellTest {
protected:
    void type(ComboBox &combo, const char *text) { m_state.setComboText(combo, QString::fromLatin1(text)); }
    void key(const char *control, Key key) { m_logic.keyPress(QString::fromLatin1(control), key); }
};
}  // namespace

TEST_F(WindowLogicTest, EventsReachTheirHandlersAndUnknownControlsAreReportedSoScriptsFailLoudly)
{
    int closes = 0;
    QObject::connect(&m_logic, &WindowLogic::closeRequested, [&] { ++closes; });
    EXPECT_TRUE(m_logic.menuClick(QStringLiteral("exit")));
    EXPECT_EQ(closes, 1);
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
    key("Combo1", Key::Enter);
    key("Combo1", Key::Enter);  // an empty entry on top
    EXPECT_EQ(m_state.Combo1.list.items(), (QStringList{"", "a"}));
    type(m_state.Combo1, "c");
    key("Combo1", Key::Delete);  // not filed: nothing to remove
    EXPECT_EQ(m_state.Combo1.list.items(), (QStringList{"", "a"}));
    type(m_state.Combo1, "a");
    key("Combo1", Key::Delete);
    EXPECT_EQ(m_state.Combo1.list.items(), QStringList{""});
    EXPECT_EQ(m_state.Combo1.text, QString());
}

TEST_F(WindowLogicTest, EnterInTheAddressBarRemembersTheAddressAndOpensItInTheVisibleView)
{
    type(m_state.Combo2, "http://a.test/");
    key("Combo2", Key::Enter);
    key("Combo2", Key::Enter);
    EXPECT_EQ(m_state.Combo2.list.items(), QStringList{"http://a.test/"});
    EXPECT_EQ(mainView().navigations(), (QStringList{"http://a.test/", "http://a.test/"}));
    EXPECT_TRUE(secondView().navigations().isEmpty());
}

TEST_F(WindowLogicTest, DumpNamesEveryControlByItsOwnNameAndShowsPicturesMenuEntriesAndDialogs)
{
    m_state.listlinks.add(QStringLiteral("http://x/"));
    m_logic.buttonHover(QStringLiteral("Picture9"));
    m_host.scripted().queueAnswer(QStringLiteral("yes"));
    m_host.services().messageBox(QStringLiteral("Sure?"), QStringLiteral("Question???"), WindowServices::Buttons::YesNo);
    m_host.services().messageBox(QStringLiteral("Note"), QStringLiteral("Warning!!!"), WindowServices::Buttons::Ok);
    const QJsonObject dump = dumpState(m_state, m_host, &m_host.scripted());
    const auto at = [&dump](const char *control) { return dump[QLatin1String(control)].toObject(); };
    EXPECT_EQ(at("listlinks")[QStringLiteral("items")].toArray().at(0).toString(), QStringLiteral("http://x/"));
    EXPECT_EQ(at("Combo2")[QStringLiteral("text")].toString(), QStringLiteral("http://"));
    EXPECT_EQ(dump[QStringLiteral("caption")].toString(), QStringLiteral("Specialized Quorvane Browser"));
    // It names the mail program this window starts, not the design's.
    EXPECT_TRUE(at("StatusBar1")[QStringLiteral("panels")].toArray().at(5)[QStringLiteral("toolTip")].toString()
                    .startsWith(QStringLiteral("Call  ")));
    EXPECT_EQ(dump[QStringLiteral("privateZone")].toInt(), 0);
    EXPECT_TRUE(at("WebBrowser1")[QStringLiteral("visible")].toBool());
    EXPECT_FALSE(at("Timer9")[QStringLiteral("enabled")].toBool());
    EXPECT_EQ(at("menus")[QStringLiteral("pubs")].toArray().at(0).toString(), QStringLiteral("pubs"));
    EXPECT_EQ(at("controls")[QStringLiteral("Picture1")][QStringLiteral("height")].toInt(), 420);

    const QJsonObject pictures = at("pictures");
    EXPECT_EQ(pictures[QStringLiteral("Picture9")][QStringLiteral("image")].toString(), QStringLiteral("favorites1_on.bmp"));
    EXPECT_TRUE(pictures[QStringLiteral("Picture2")][QStringLiteral("visible")].toBool());
    const QJsonObject menus = at("menuEntries");
    EXPECT_TRUE(menus[QStringLiteral("print")][QStringLiteral("enabled")].toBool());
    EXPECT_FALSE(menus[QStringLiteral("pub_chann")][QStringLiteral("visible")].toBool());

    const QJsonArray dialogs = dump[QStringLiteral("dialogs")].toArray();
    ASSERT_EQ(dialogs.size(), 2);
    EXPECT_EQ(dialogs.at(0)[QStringLiteral("answer")].toString(), QStringLiteral("yes"));
    EXPECT_FALSE(dialogs.at(1)[QStringLiteral("answered")].toBool());
}
