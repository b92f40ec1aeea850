#include "support/fakehost.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
class PrivateZoneTest : public ::testing::Test {
protected:
    PrivateZoneTest() : m_logic(m_state, m_host, Config{})
    {
        m_host.fakeTransfer(9).execute(QStringLiteral("http://home/pass.txt"), 12000);
        m_host.fakeTransfer(9).complete(QStringLiteral("Secret<http://s/><http://c/><http://start/>"));
    }

    void logIn(const char *password, const char *keepRecord = "no")
    {
        m_host.scripted().queueAnswer(QStringLiteral("text:") + QString::fromLatin1(password));
        m_host.scripted().queueAnswer(QString::fromLatin1(keepRecord));
        m_logic.buttonClick(QStringLiteral("Picture14"));
    }
    void enter(const QString &address)
    {
        m_state.setComboText(m_state.Combo2, address);
        m_logic.keyPress(QStringLiteral("Combo2"), Key::Enter);
    }
    bool shown(const char *control) const { return m_state.control(QString::fromLatin1(control)).visible; }
    FakeBrowser &mainView() { return m_host.fakeBrowser(QStringLiteral("WebBrowser1")); }

    FakeHost m_host;
    WindowState m_state;
    WindowLogic m_logic;
};
}  // namespace

TEST_F(PrivateZoneTest, RightPasswordEntersTheZoneAndLoadsTheAccountsLists)
{
    logIn("Secret", "yes");
    const auto &records = m_host.scripted().records();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].text, QStringLiteral("Your password,please?"));
    EXPECT_EQ(records[0].title, QStringLiteral("Log in to private area"));
    EXPECT_EQ(records[0].answer, QStringLiteral("***"));  // masked, never recorded
    EXPECT_EQ(records[1].text, QStringLiteral("Would You like keep a record ?"));
    EXPECT_TRUE(m_state.privateZone());
    EXPECT_TRUE(m_state.keepPrivateRecord());
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Your tracking will keeped !!! "));
    EXPECT_TRUE(m_state.control(QStringLiteral("sreport")).enabled);
    EXPECT_EQ(m_host.fakeTransfer(8).executed(), QStringList{"http://s/"});
    EXPECT_EQ(m_host.fakeTransfer(5).executed(), QStringList{"http://c/"});
    EXPECT_EQ(mainView().navigations(), QStringList{"http://start/"});
    EXPECT_TRUE(m_host.fakeTimer(10).enabled());
    EXPECT_TRUE(m_host.fakeTimer(11).enabled());
    EXPECT_FALSE(shown("Combo2"));
    EXPECT_FALSE(shown("Picture8"));
    EXPECT_FALSE(shown("Picture11"));
    for (int panel = 1; panel <= WindowState::PanelCount; ++panel)
        EXPECT_FALSE(m_state.panelText(panel).contains(QStringLiteral("Secret")));
}

TEST_F(PrivateZoneTest, WrongOrWrongCasePasswordStaysPublic)
{
    for (const char *password : {"secret", "nope", ""}) {
        logIn(password);
        EXPECT_FALSE(m_state.privateZone()) << password;
        EXPECT_EQ(m_host.scripted().records().last().text,
                  QStringLiteral(" Sorry, Your password is wrong! Try again ,please ! "));
        EXPECT_TRUE(shown("Combo2"));
        EXPECT_TRUE(shown("Picture8"));
        EXPECT_TRUE(shown("Picture11"));
    }
    EXPECT_TRUE(m_host.fakeTransfer(5).executed().isEmpty());
    EXPECT_FALSE(m_host.fakeTimer(10).enabled());
}

TEST_F(PrivateZoneTest, DecliningTheRecordAndLoggingOutThroughTheMenu)
{
    logIn("Secret", "no");
    EXPECT_FALSE(m_state.keepPrivateRecord());
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Your tracking will not keeped !!! "));

    m_logic.menuClick(QStringLiteral("privatte"));
    EXPECT_FALSE(m_state.privateZone());
    EXPECT_FALSE(m_state.keepPrivateRecord());
    EXPECT_FALSE(m_state.control(QStringLiteral("sreport")).enabled);
    EXPECT_EQ(mainView().written(), QString());
    EXPECT_EQ(mainView().locationUrl(), QStringLiteral("about:blank"));
    EXPECT_EQ(m_state.Combo2.text, QString());
    EXPECT_TRUE(shown("Combo2"));
    EXPECT_TRUE(shown("Picture8"));
    EXPECT_TRUE(shown("Picture11"));
}

TEST_F(PrivateZoneTest, PublicZoneRefusesPrivateDomainsInAnyCaseAndAsksForThePassword)
{
    m_state.domain.setItems({QString(), QStringLiteral("club.test")});  // a first run's empty entry too
    m_state.listlinks.setItems({QStringLiteral("http://www.CLUB.test/a"), QStringLiteral("http://open.test/"),
                                QStringLiteral("http://club.test/b")});
    enter(QStringLiteral("http://open.test/"));
    EXPECT_EQ(mainView().navigations(), QStringList{"http://open.test/"});

    for (const char *answer : {"ok", "text:Secret", "no"})
        m_host.scripted().queueAnswer(QString::fromLatin1(answer));
    enter(QStringLiteral("HTTP://Club.Test/members"));
    const auto &records = m_host.scripted().records();
    ASSERT_GE(records.size(), 2);
    EXPECT_EQ(records[0].text, QStringLiteral(" Sorry! You have no right to see it!!!"));
    EXPECT_EQ(records[1].text, QStringLiteral("Your password,please?"));
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://open.test/"});
    EXPECT_TRUE(m_state.privateZone());
    EXPECT_EQ(mainView().navigations(), (QStringList{"http://open.test/", "http://start/"}));

    // Inside the zone the same address opens.
    enter(QStringLiteral("HTTP://Club.Test/members"));
    EXPECT_EQ(mainView().navigations().last(), QStringLiteral("HTTP://Club.Test/members"));
}

TEST_F(PrivateZoneTest, AddressBarKeepsNineteenRecentAddressesWithoutRepeats)
{
    for (int i = 0; i < 19; ++i)
        m_state.Combo2.list.add(QStringLiteral("http://%1.test/").arg(i));
    enter(QStringLiteral("http://new.test/"));
    EXPECT_EQ(m_state.Combo2.list.count(), 19);
    EXPECT_EQ(m_state.Combo2.list.at(0), QStringLiteral("http://1.test/"));
    EXPECT_EQ(m_state.Combo2.list.at(18), QStringLiteral("http://new.test/"));
    enter(QStringLiteral("http://new.test/"));  // a repeat still makes room first
    EXPECT_EQ(m_state.Combo2.list.count(), 18);

    m_logic.listClick(QStringLiteral("Combo2"), 0);
    EXPECT_EQ(m_state.Combo2.text, QStringLiteral("http://2.test/"));
    EXPECT_EQ(mainView().navigations().last(), QStringLiteral("http://2.test/"));
}
