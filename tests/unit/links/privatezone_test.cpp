// Log in and out of the private zone, and the address bar that guards it.
#include "support/shellfixture.h"

using namespace quorvane;

namespace {
class PrivateZoneTest : public ShellTest {
protected:
    PrivateZoneTest()
    {
        inet(9).execute("http://home.test/pass.txt", 12000);
        inet(9).complete("Secret<http://s/><http://c/><http://start/>");
    }

    void logIn(const char *password, const char *keepRecord = "no")
    {
        answer({QStringLiteral("text:") + password, keepRecord});
        m_logic.buttonClick("Picture14");
    }
    void enter(const char *address)
    {
        m_state.setComboText(m_state.Combo2, address);
        m_logic.keyPress("Combo2", Key::Enter);
    }
    bool publicBarShown() const { return visible("Combo2") && visible("Picture8") && visible("Picture11"); }
};
}  // namespace

// private_zone.sh logs in without a record, on the real window.
TEST_F(PrivateZoneTest, RightPasswordEntersTheZoneAndTheMenuLogsOut)
{
    logIn("Secret", "yes");
    const auto records = m_host.scripted().takeRecords();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].text, "Your password,please?");
    EXPECT_EQ(records[0].answer, "***");  // masked, never recorded
    EXPECT_EQ(records[1].text, "Would You like keep a record ?");
    EXPECT_TRUE(m_state.privateZone() && m_state.keepPrivateRecord());
    EXPECT_EQ(m_state.panelText(2), "Your tracking will keeped !!! ");
    EXPECT_TRUE(m_state.control("sreport").enabled);
    EXPECT_EQ(inet(8).executed(), QStringList{"http://s/"});
    EXPECT_EQ(inet(5).executed(), QStringList{"http://c/"});
    EXPECT_EQ(mainView().navigations(), QStringList{"http://start/"});
    EXPECT_TRUE(m_host.fakeTimer(10).enabled() && m_host.fakeTimer(11).enabled());
    EXPECT_FALSE(visible("Combo2") || visible("Picture8") || visible("Picture11"));
    for (int panel = 1; panel <= WindowState::PanelCount; ++panel)
        EXPECT_FALSE(m_state.panelText(panel).contains("Secret")) << panel;

    m_state.setComboText(m_state.Combo2, "http://typed/");
    menu("privatte");
    EXPECT_FALSE(m_state.privateZone() || m_state.keepPrivateRecord());
    EXPECT_TRUE(m_state.control("sreport").enabled);  // the public zone saves the buffer as HTML
    EXPECT_EQ(mainView().written(), QString());
    EXPECT_EQ(mainView().locationUrl(), "about:blank");
    EXPECT_EQ(m_state.Combo2.text, QString());
    EXPECT_TRUE(publicBarShown());
}

TEST_F(PrivateZoneTest, WrongOrWrongCasePasswordStaysPublic)
{
    for (const char *password : {"secret", "nope", ""}) {
        SCOPED_TRACE(password);
        logIn(password);
        EXPECT_FALSE(m_state.privateZone());
        EXPECT_EQ(m_host.scripted().records().last().text, " Sorry, Your password is wrong! Try again ,please ! ");
        EXPECT_TRUE(publicBarShown());
    }
    EXPECT_TRUE(inet(5).executed().isEmpty());
    EXPECT_FALSE(m_host.fakeTimer(10).enabled());
}

TEST_F(PrivateZoneTest, PublicZoneRefusesPrivateDomainsInAnyCaseAndAsksForThePassword)
{
    m_state.domain.setItems({"", "club.test"});  // a first run's empty entry too
    m_state.listlinks.setItems({"http://www.CLUB.test/a", "http://open.test/", "http://club.test/b"});
    enter("http://open.test/");
    EXPECT_EQ(mainView().navigations(), QStringList{"http://open.test/"});

    answer({"ok", "text:Secret", "no"});
    enter("HTTP://Club.Test/members");
    EXPECT_EQ(dialogs().mid(0, 2),
              (QStringList{"message: Sorry! You have no right to see it!!!", "input:Your password,please?"}));
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://open.test/"});
    EXPECT_TRUE(m_state.privateZone());
    EXPECT_EQ(mainView().navigations(), (QStringList{"http://open.test/", "http://start/"}));

    // Inside the zone the same address opens.
    enter("HTTP://Club.Test/members");
    EXPECT_EQ(lastNavigation(mainView()), "HTTP://Club.Test/members");
}

TEST_F(PrivateZoneTest, AddressBarKeepsNineteenRecentAddressesWithoutRepeats)
{
    for (int i = 0; i < 19; ++i)
        m_state.Combo2.list.add(QStringLiteral("http://%1.test/").arg(i));
    enter("http://new.test/");
    EXPECT_EQ(m_state.Combo2.list.count(), 19);
    EXPECT_EQ(m_state.Combo2.list.at(0), "http://1.test/");
    EXPECT_EQ(m_state.Combo2.list.at(18), "http://new.test/");
    enter("http://new.test/");  // a repeat still makes room first
    EXPECT_EQ(m_state.Combo2.list.count(), 18);

    m_logic.listClick("Combo2", 0);
    EXPECT_EQ(m_state.Combo2.text, "http://2.test/");
    EXPECT_EQ(lastNavigation(mainView()), "http://2.test/");
}
