#include "support/shellfixture.h"
#include "shell/toolbar.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace quorvane;

namespace {
class ToolbarTest : public ShellTest {
protected:
    QString image(const char *button) const { return m_state.pictureImage(QString::fromLatin1(button)); }
    void down(const char *button, MouseButton b) { m_logic.buttonDown(QString::fromLatin1(button), b); }
    void up(const char *button, MouseButton b) { m_logic.buttonUp(QString::fromLatin1(button), b); }
};
}  // namespace

TEST_F(ToolbarTest, HoverShowsItsImageResetsOnlyTheNamedNeighboursAndRepaintsOnlyOnChange)
{
    m_logic.buttonHover(QStringLiteral("Picture3"));
    EXPECT_EQ(image("Picture3"), QStringLiteral("forward1_on.bmp"));
    m_logic.buttonHover(QStringLiteral("Picture4"));
    EXPECT_EQ(image("Picture4"), QStringLiteral("stop1_on.bmp"));
    EXPECT_EQ(image("Picture3"), QStringLiteral("forward1.bmp"));

    // The back button's hover image is its own; the background resets all twenty.
    m_logic.buttonHover(QStringLiteral("Picture2"));
    m_logic.buttonHover(QStringLiteral("Picture28"));
    EXPECT_EQ(image("Picture2"), QStringLiteral("back1_up.bmp"));
    EXPECT_EQ(image("Picture4"), QStringLiteral("stop1_on.bmp"));
    const quint64 hovered = m_state.revision();
    m_logic.buttonHover(QStringLiteral("Picture28"));
    EXPECT_EQ(m_state.revision(), hovered);
    m_logic.backgroundHover();
    for (const PictureButtonInfo &b : Toolbar::buttons())
        EXPECT_EQ(m_state.pictureImage(QString::fromLatin1(b.name)), QLatin1String(b.normal)) << b.name;
    const quint64 reset = m_state.revision();
    m_logic.backgroundHover();
    EXPECT_EQ(m_state.revision(), reset);
}

TEST_F(ToolbarTest, PressShowsThePressedImageOnlyForItsMouseButtonsAndReleaseFollowsTheButtonsRule)
{
    down("Picture2", MouseButton::Right);
    EXPECT_EQ(image("Picture2"), QStringLiteral("back1.bmp"));
    down("Picture26", MouseButton::Right);
    EXPECT_EQ(image("Picture26"), QStringLiteral("navright_down.bmp"));

    down("Picture2", MouseButton::Left);
    EXPECT_EQ(image("Picture2"), QStringLiteral("back1_down.bmp"));
    up("Picture2", MouseButton::Left);
    EXPECT_EQ(image("Picture2"), QStringLiteral("back1.bmp"));

    // "Any" buttons keep the pressed image after the release until the pointer moves.
    down("Picture27", MouseButton::Left);
    up("Picture27", MouseButton::Left);
    EXPECT_EQ(image("Picture27"), QStringLiteral("navleft_down.bmp"));
    m_logic.buttonHover(QStringLiteral("Picture28"));
    EXPECT_EQ(image("Picture27"), QStringLiteral("navleft.bmp"));

    down("Picture24", MouseButton::Left);  // no pressed image at all, and none to load
    EXPECT_EQ(image("Picture24"), QStringLiteral("nexthome.bmp"));
    EXPECT_FALSE(Toolbar::imageFiles().contains(QString()));
}

TEST_F(ToolbarTest, PopupButtonsSetThePrivateRecordFlagAndHideTheAddressBarInThePrivateZone)
{
    click("Picture8");
    EXPECT_TRUE(m_state.keepPrivateRecord());
    EXPECT_TRUE(visible("Combo2"));
    m_state.setPrivateZone(true);
    click("Picture11");
    EXPECT_FALSE(m_state.keepPrivateRecord());
    EXPECT_FALSE(visible("Combo2"));
    m_state.setPrivateZone(false);
    menu("chann");
    EXPECT_EQ(recorded("popup"), (QStringList{"pub_search", "priv_cann", "pub_chann"}));
    EXPECT_TRUE(m_state.keepPrivateRecord());
}

// Program buttons: a PATH holding just some desktop programs; their tool tips
// name what the button starts, never another system's program.
TEST_F(ToolbarTest, ProgramButtonsStartAndNameTheConfiguredOrFirstDesktopProgramOnThePathOrSayWhyNot)
{
    QTemporaryDir bin;
    for (const char *program : {"kaddressbook", "kcalc"}) {
        QFile file(bin.filePath(QString::fromLatin1(program)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    const auto restorePath = qScopeGuard([saved = qgetenv("PATH")] { qputenv("PATH", saved); });
    qputenv("PATH", bin.path().toLocal8Bit());
    up("Picture20", MouseButton::Right);  // the right button starts nothing
    up("Picture20", MouseButton::Left);
    up("Picture21", MouseButton::Left);
    EXPECT_EQ(recorded("program"), (QStringList{"kaddressbook", "kcalc"}));
    EXPECT_EQ(m_state.panelText(1), QString());
    up("Picture19", MouseButton::Left);
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("No mail program found; set one in the settings file"));
    m_host.scripted().setProgramsStart(false);
    up("Picture21", MouseButton::Left);
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Cannot start the calculator (kcalc)"));

    // progress_stop.sh checks a configured mail program's tips.
    Toolbar found(m_state, m_host, config());
    const struct {
        const char *where;
        QString toolTip;
        const char *expected;
    } tips[] = {
        {"Picture19", m_state.pictureToolTip(QStringLiteral("Picture19")),
         "Calls the mail program (none found: set one in Edit > Preferences)"},
        {"Picture20", m_state.pictureToolTip(QStringLiteral("Picture20")), "Callas Address Book (kaddressbook)"},
        {"Picture21", m_state.pictureToolTip(QStringLiteral("Picture21")), "Calls calculator (kcalc)"},
        {"panel 7", m_state.panelToolTip(7), "Call calculator (kcalc)"},
        {"panel 8", m_state.panelToolTip(8), "Call address book (kaddressbook)"},
        // The panels the design fixed keep their tool tips.
        {"panel 1", m_state.panelToolTip(1), "URL"},
        {"panel 5", m_state.panelToolTip(5), "Clear picture buffer"},
    };
    for (const auto &t : tips)
        EXPECT_EQ(t.toolTip, QString::fromLatin1(t.expected)) << t.where;

    // A configured program is started as given, without consulting the PATH.
    m_host.scripted().takeRecords();
    m_host.scripted().setProgramsStart(true);
    Config settings = config();
    settings.mailProgram = QStringLiteral("my-mail --compose");
    settings.addressBookProgram = QStringLiteral("  \"address book\"  ");
    settings.calculatorProgram = QStringLiteral("calc");
    Toolbar toolbar(m_state, m_host, settings);
    for (Toolbar::Program p : {Toolbar::Program::Mail, Toolbar::Program::AddressBook, Toolbar::Program::Calculator})
        toolbar.startProgram(p);
    EXPECT_EQ(recorded("program"), (QStringList{"my-mail --compose", "address book", "calc"}));
}
