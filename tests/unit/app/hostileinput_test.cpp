#include "support/shellfixture.h"

using namespace quorvane;

namespace {
// A page whose links and pictures are all script or local addresses, beside
// one real link and one real picture.
const QString hostilePage = QStringLiteral(
    "<body><a href='javascript:fetch(\"/stolen\")'>a</a><a href='JAVASCRIPT:alert(1)//.jpg'>b</a>"
    "<a href='vbscript:x'>c</a><a href='data:text/html,<script>x</script>'>d</a>"
    "<a href='file:///etc/passwd'>e</a><a href='mailto:me@a.test'>mail</a>"
    "<img src='javascript:alert(2)'><img src='data:image/png,x'>"
    "<a href='http://ok.test/page.htm'>ok</a><img src='http://ok.test/ok.png'></body>");

class HostilePageTest : public ShellTest {
protected:
    FakeBrowser &reader(BrowserId id) { return m_host.fakeBrowser(id); }
    // The home site's FILE, read on slot, answers text.
    void download(TransferSlot slot, const char *file, int maxBytes, const QString &text)
    {
        m_host.fakeTransfer(slot).execute(QStringLiteral("http://home/") + QLatin1String(file), maxBytes);
        m_host.fakeTransfer(slot).complete(text);
    }
    void expectOnlyWebAddresses(const ListControl &list)
    {
        for (const QString &entry : list.items()) {
            EXPECT_TRUE(entry.startsWith(QLatin1String("http://")) || entry.startsWith(QLatin1String("<")))
                << qPrintable(list.name()) << ": " << qPrintable(entry);
            EXPECT_FALSE(entry.contains(QLatin1String("script:"), Qt::CaseInsensitive)) << qPrintable(entry);
            EXPECT_FALSE(entry.contains(QLatin1String("file:"), Qt::CaseInsensitive)) << qPrintable(entry);
            EXPECT_FALSE(entry.contains(QLatin1String("data:"), Qt::CaseInsensitive)) << qPrintable(entry);
        }
    }
};
}  // namespace

TEST_F(HostilePageTest, NoCollectorPutsAScriptOrLocalAddressIntoAList)
{
    m_host.web().setPage(QStringLiteral("http://ok.test/page.htm"), hostilePage);
    mainView().load(QStringLiteral("http://h.test/"), hostilePage);  // the shown-page collector
    menu("getlinks");                                                  // the harvester
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://ok.test/page.htm"});
    EXPECT_EQ(m_state.List2.items(), QStringList{"http://ok.test/ok.png"});

    // hostile_links.sh walks such pages on both engines.
    for (const ListControl *list : {&m_state.listlinks, &m_state.List2, &m_state.List7})
        expectOnlyWebAddresses(*list);

    // Report rows of the page: the e-mail link stays a row, no script link does.
    m_state.Combo1.list.setItems({QStringLiteral("ok")});
    m_state.setCollectImages(true);
    m_state.List4.setItems({QStringLiteral("javascript:alert(3)"), QStringLiteral("http://ok.test/page.htm")});
    menu("readnext");
    EXPECT_EQ(reader(BrowserId::PageReader).navigations(), QStringList{"http://ok.test/page.htm"});
    reader(BrowserId::PageReader).finishLoad();
    for (const QString &row : m_state.List3.items()) {
        EXPECT_FALSE(row.contains(QLatin1String("script:"), Qt::CaseInsensitive)) << qPrintable(row);
        EXPECT_FALSE(row.contains(QLatin1String("data:"), Qt::CaseInsensitive)) << qPrintable(row);
    }
    EXPECT_TRUE(m_state.List3.items().join(QString()).contains(QLatin1String("mailto:me@a.test")));
}

TEST_F(HostilePageTest, NoListEntryOpensAScriptAndADoubleClickFilesNone)
{
    // Lists read from files on disk may hold anything.
    m_state.listlinks.setItems({QStringLiteral("javascript:alert(1)")});
    m_state.favorit2.setItems({QStringLiteral("javascript:alert(2)")});
    m_state.List1.setItems({QStringLiteral("data:text/html,x")});
    for (ListControl *list : {&m_state.listlinks, &m_state.favorit2, &m_state.List1}) {
        list->setSelected(0);
        m_logic.listMouseDown(list->name(), 0, MouseButton::Right);
    }
    EXPECT_TRUE(mainView().navigations().isEmpty());

    // Typed by the user: refused with a word why, a local file opens.
    for (const char *typed : {"javascript:alert(3)", "file:///tmp/page.htm"}) {
        m_state.setComboText(m_state.Combo2, QString::fromLatin1(typed));
        m_logic.keyPress(QStringLiteral("Combo2"), Key::Enter);
    }
    EXPECT_EQ(mainView().navigations(), QStringList{"file:///tmp/page.htm"});

    // A double click on a script link files nothing into the catalog.
    m_state.Combo1.list.setItems({QStringLiteral("cats")});
    m_state.setComboText(m_state.Combo1, QStringLiteral("cats"));
    m_state.Combo1.list.setSelected(0);
    mainView().load(QStringLiteral("http://h.test/"), hostilePage);
    emit mainView().documentDoubleClick(link(QStringLiteral("javascript:alert(4)")));
    EXPECT_TRUE(m_state.catalogs.at(0).isEmpty());
}

TEST_F(HostilePageTest, DownloadedListsKeepWebAddressesOnly)
{
    download(TransferSlot::PublicChannels, "pubchannels.txt", 12000,
             QStringLiteral("Evil<javascript:alert(1)>Local<file:///etc/passwd>Good<http://good.test/>"));
    EXPECT_EQ(m_state.menuArray(QStringLiteral("pubch")), QStringList{"Good"});
    EXPECT_EQ(m_state.ara2.items(), (QStringList{"", "http://good.test/"}));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Skipped 2 downloaded entries that are not web addresses"));

    download(TransferSlot::NextHomePages, "list5.txt", 64000, QStringLiteral("javascript:alert(2)\r\nhttp://next.test/\r\n"));
    EXPECT_EQ(mainView().navigations().value(0), QStringLiteral("http://next.test/"));

    // An account whose start page is a script: the login works, the page is not opened.
    download(TransferSlot::Accounts, "pass.txt", 12000, QStringLiteral("pw<http://s/><http://c/><javascript:alert(3)>"));
    answer({QStringLiteral("text:pw"), QStringLiteral("no")});
    const qsizetype before = mainView().navigations().size();
    click("Picture14");
    EXPECT_TRUE(m_state.privateZone());
    EXPECT_EQ(mainView().navigations().size(), before);
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Skipped 1 downloaded entries that are not web addresses"));
}

// Without a record, nothing the private session collected stays after it.
TEST_F(HostilePageTest, AnUnrecordedPrivateSessionLeavesNoPictureBehind)
{
    const auto loginAndCollect = [this](const char *keepRecord, const QString &page) {
        download(TransferSlot::Accounts, "pass.txt", 12000, QStringLiteral("pw<http://s/><http://c/><http://start/>"));
        answer({QStringLiteral("text:pw"), QString::fromLatin1(keepRecord)});
        click("Picture14");
        mainView().load(page, QStringLiteral("<body><img src='") + page + QStringLiteral("p.png'></body>"));
        m_state.Combo1.list.setItems({QStringLiteral("cats")});
        m_state.setComboText(m_state.Combo1, QStringLiteral("cats"));
        m_state.Combo1.list.setSelected(0);
        emit mainView().documentDoubleClick(link(page + QStringLiteral("c.jpg")));
    };
    mainView().load(QStringLiteral("http://pub.test/"), QStringLiteral("<body><img src='http://pub.test/p.png'></body>"));
    loginAndCollect("no", QStringLiteral("http://secret.test/"));
    EXPECT_TRUE(m_state.List2.contains(QStringLiteral("http://secret.test/p.png")));  // seen while it lasts
    click("Picture14");  // logout
    EXPECT_EQ(m_state.List2.items(), QStringList{"http://pub.test/p.png"});
    EXPECT_FALSE(m_state.catalogs.at(0).contains(QLatin1String("secret.test")));

    // With a record the pictures stay; without one, shutdown in the session writes none.
    loginAndCollect("yes", QStringLiteral("http://kept.test/"));
    click("Picture14");
    loginAndCollect("no", QStringLiteral("http://secret2.test/"));
    m_logic.Form_Unload();
    m_logic.Form_Terminate();
    for (const char *name : {"error.htm", "error1.htm"}) {
        const QByteArray bytes = file(name);  // "<missing>" when it was not written
        EXPECT_TRUE(bytes.contains("http://kept.test/p.png")) << name;
        EXPECT_FALSE(bytes.contains("secret")) << name;
    }
}
