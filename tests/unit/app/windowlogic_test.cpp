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

TEST_F(WindowLogicTest, DumpShowsTheStartUpTextsAndEveryDialogWithItsAnswer)
{
    m_host.scripted().queueAnswer(QStringLiteral("yes"));
    m_host.services().messageBox(QStringLiteral("Sure?"), QStringLiteral("Question???"), WindowServices::Buttons::YesNo);
    m_host.services().messageBox(QStringLiteral("Note"), QStringLiteral("Warning!!!"), WindowServices::Buttons::Ok);
    const QJsonObject dump = dumpState(m_state, m_host, &m_host.scripted());
    // The start-up texts; the fields the end-to-end scripts read are checked there.
    EXPECT_EQ(dump[QStringLiteral("Combo2")][QStringLiteral("text")].toString(), QStringLiteral("http://"));
    EXPECT_EQ(dump[QStringLiteral("caption")].toString(), QStringLiteral("Specialized Quorvane Browser"));
    EXPECT_EQ(dump[QStringLiteral("menus")][QStringLiteral("pubs")].toArray().at(0).toString(), QStringLiteral("pubs"));
    const QJsonArray dialogs = dump[QStringLiteral("dialogs")].toArray();
    ASSERT_EQ(dialogs.size(), 2);
    EXPECT_EQ(dialogs.at(0)[QStringLiteral("answer")].toString(), QStringLiteral("yes"));
    EXPECT_FALSE(dialogs.at(1)[QStringLiteral("answered")].toBool());
}
