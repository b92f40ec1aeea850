#include "support/shellfixture.h"

#include "automation/statedump.h"
#include "host/scriptedservices.h"
#include "shell/toolbar.h"

#include <QJsonObject>
#include <QSet>

using namespace quorvane;

namespace {
class ToolbarTest : public ShellTest {
protected:
    QString image(const char *button) const { return m_state.pictureImage(QString::fromLatin1(button)); }
    void down(const char *button, MouseButton b) { m_logic.buttonDown(QString::fromLatin1(button), b); }
    void up(const char *button, MouseButton b) { m_logic.buttonUp(QString::fromLatin1(button), b); }
};
}  // namespace

TEST_F(ToolbarTest, TwentyButtonsWithFiftyNineDistinctBitmapsShowTheirNormalImagesAtStart)
{
    ASSERT_EQ(Toolbar::buttons().size(), 20);
    const QStringList files = Toolbar::imageFiles();
    EXPECT_EQ(files.size(), 59);
    EXPECT_EQ(QSet<QString>(files.cbegin(), files.cend()).size(), 59);
    for (const PictureButtonInfo &b : Toolbar::buttons())
        EXPECT_EQ(m_state.pictureImage(QString::fromLatin1(b.name)), QLatin1String(b.normal)) << b.name;
    // Hover images end in "_on", except the back button's.
    EXPECT_EQ(Toolbar::button(QStringLiteral("Picture2"))->hover, QLatin1String("back1_up.bmp"));
}

TEST_F(ToolbarTest, HoverShowsItsImageAndResetsItsNeighboursInOrder)
{
    m_logic.buttonHover(QStringLiteral("Picture3"));
    EXPECT_EQ(image("Picture3"), QStringLiteral("forward1_on.bmp"));
    m_logic.buttonHover(QStringLiteral("Picture4"));
    EXPECT_EQ(image("Picture4"), QStringLiteral("stop1_on.bmp"));
    EXPECT_EQ(image("Picture3"), QStringLiteral("forward1.bmp"));
    EXPECT_EQ(image("Picture5"), QStringLiteral("home1.bmp"));

    // A hover resets only the named neighbours; the background resets all twenty.
    m_logic.buttonHover(QStringLiteral("Picture2"));
    m_logic.buttonHover(QStringLiteral("Picture28"));
    EXPECT_EQ(image("Picture2"), QStringLiteral("back1_up.bmp"));
    EXPECT_EQ(image("Picture4"), QStringLiteral("stop1_on.bmp"));
    m_logic.backgroundHover();
    for (const PictureButtonInfo &b : Toolbar::buttons())
        EXPECT_EQ(m_state.pictureImage(QString::fromLatin1(b.name)), QLatin1String(b.normal)) << b.name;
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

    down("Picture24", MouseButton::Left);  // no pressed image at all
    EXPECT_EQ(image("Picture24"), QStringLiteral("nexthome.bmp"));
}

TEST_F(ToolbarTest, SettingTheShownImageAgainChangesNothing)
{
    m_logic.buttonHover(QStringLiteral("Picture5"));
    const quint64 before = m_state.revision();
    for (int i = 0; i < 50; ++i)
        m_logic.buttonHover(QStringLiteral("Picture5"));
    EXPECT_EQ(m_state.revision(), before);
    m_logic.backgroundHover();
    const quint64 afterReset = m_state.revision();
    m_logic.backgroundHover();
    EXPECT_EQ(m_state.revision(), afterReset);
}

TEST_F(ToolbarTest, PopupButtonsSetThePrivateRecordFlagAndHideTheAddressBarInThePrivateZone)
{
    click("Picture8");
    EXPECT_TRUE(m_state.keepPrivateRecord());
    EXPECT_TRUE(m_state.control(QStringLiteral("Combo2")).visible);
    m_state.setPrivateZone(true);
    click("Picture11");
    EXPECT_FALSE(m_state.keepPrivateRecord());
    EXPECT_FALSE(m_state.control(QStringLiteral("Combo2")).visible);
    m_state.setPrivateZone(false);
    menu("chann");
    QStringList shown;
    for (const ScriptedServices::Record &r : m_host.scripted().records()) {
        if (r.kind == QLatin1String("popup"))
            shown.append(r.text);
    }
    EXPECT_EQ(shown, (QStringList{"pub_search", "priv_cann", "pub_chann"}));
    EXPECT_TRUE(m_state.keepPrivateRecord());
}

TEST_F(ToolbarTest, DumpShowsEachPictureButtonsImageAndEachMenuEntrysState)
{
    m_logic.buttonHover(QStringLiteral("Picture9"));
    const QJsonObject dump = dumpState(m_state, m_host, nullptr);
    const QJsonObject pictures = dump[QStringLiteral("pictures")].toObject();
    EXPECT_EQ(pictures.size(), 20);
    EXPECT_EQ(pictures[QStringLiteral("Picture9")][QStringLiteral("image")].toString(), QStringLiteral("favorites1_on.bmp"));
    EXPECT_TRUE(pictures[QStringLiteral("Picture2")][QStringLiteral("visible")].toBool());
    const QJsonObject menus = dump[QStringLiteral("menuEntries")].toObject();
    EXPECT_TRUE(menus[QStringLiteral("print")][QStringLiteral("enabled")].toBool());
    EXPECT_FALSE(menus[QStringLiteral("pub_chann")][QStringLiteral("visible")].toBool());
    const QJsonObject toolbar = dump[QStringLiteral("controls")][QStringLiteral("Picture1")].toObject();
    EXPECT_EQ(toolbar[QStringLiteral("height")].toInt(), 420);
}
