#include "support/fakehost.h"
#include "support/sqlfile.h"
#include "support/testfiles.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"
#include "session/journalstore.h"
#include "session/sessionjournal.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace quorvane;

namespace {

QString url(char c)
{
    return QStringLiteral("http://site.test/") + QLatin1Char(c);
}

const QString Question = QStringLiteral("Quorvane did not close properly. Restore the previous session? "
                                        "(3 links, 1 found pages, 2 pages left to read, 2 pictures, 1 catalogs)");

// One run of the program on the fake host: a crash is the run going away
// without its shutdown.
struct ProgramRun {
    explicit ProgramRun(const Config &config, const QStringList &answers = {}, bool newest = false)
        : logic(state, host, config)
    {
        host.fakeBrowser(BrowserId::MainView).setVisible(true);
        for (const QString &a : answers)
            host.scripted().queueAnswer(a);
        logic.Form_Load();
        logic.startSessionJournal(newest);
    }
    QStringList questions()
    {
        QStringList texts;
        for (const auto &r : host.scripted().takeRecords()) {
            if (r.kind == QLatin1String("question"))
                texts << r.text;
        }
        return texts;
    }
    void closeWindow()
    {
        logic.Form_Unload();
        logic.Form_Terminate();
    }
    FakeHost host;
    WindowState state;
    WindowLogic logic;
};

class SessionJournalTest : public ::testing::Test {
protected:
    Config config(bool restoreAlways = false) const
    {
        Config c;
        c.programFolder = m_folder.path();
        c.stateFolder = m_state.path();
        c.homeSite = QStringLiteral("home.test");
        c.restoreAfterNormalExit = restoreAlways;
        return c;
    }
    // A filled session that ends without its shutdown.
    void crashFilled() const
    {
        ProgramRun run(config());
        fill(run);
        run.logic.sessionJournal().sync();
    }
    // A session with something in every list the user would miss.
    static void fill(ProgramRun &run)
    {
        WindowState &s = run.state;
        s.listlinks.setItems({url('a'), url('b'), url('c')});
        s.List3.setItems({QStringLiteral("<tr><td>row\r\nwith break</td></tr>")});
        s.List1.setItems({url('f')});
        s.List4.setItems({url('q'), url('r')});
        s.List2.setItems({QStringLiteral("http://img.test/1.png"), QStringLiteral("http://img.test/2.png")});
        s.catalogs[3] = QStringLiteral("<img src='x.png'>");
        s.Combo1.list.setItems({QStringLiteral("shoes"), QStringLiteral("boots")});
        s.setComboText(s.Combo1, QStringLiteral("sho"));
        s.Combo2.list.add(QStringLiteral("http://typed.test/"));
        s.domain2.add(QStringLiteral("visited.test"));
        s.favorit2.add(QStringLiteral("http://fav.test/"));
        s.List6.add(QStringLiteral("http://home.test/next1.htm"));
        s.setKeywordMode(true);
    }
    static void expectFilled(const WindowState &s)
    {
        EXPECT_EQ(s.listlinks.items(), (QStringList{url('a'), url('b'), url('c')}));
        EXPECT_EQ(s.List3.items(), QStringList{QStringLiteral("<tr><td>row\r\nwith break</td></tr>")});
        EXPECT_EQ(s.List1.items(), QStringList{url('f')});
        EXPECT_EQ(s.List4.items(), (QStringList{url('q'), url('r')}));
        EXPECT_EQ(s.List2.count(), 2);
        EXPECT_EQ(s.catalogs.value(3), QStringLiteral("<img src='x.png'>"));
        EXPECT_EQ(s.catalogs.size(), WindowState::CatalogCount);
        EXPECT_EQ(s.Combo1.list.items(), (QStringList{QStringLiteral("shoes"), QStringLiteral("boots")}));
        EXPECT_EQ(s.Combo1.text, QStringLiteral("sho"));
        EXPECT_TRUE(s.Combo2.list.contains(QStringLiteral("http://typed.test/")));
        EXPECT_TRUE(s.domain2.contains(QStringLiteral("visited.test")));
        EXPECT_TRUE(s.favorit2.contains(QStringLiteral("http://fav.test/")));
        EXPECT_TRUE(s.List6.contains(QStringLiteral("http://home.test/next1.htm")));
        EXPECT_TRUE(s.keywordMode());
    }
    QTemporaryDir m_folder;
    QTemporaryDir m_state;
};

}  // namespace

TEST(JournalStore, ListsReadBackExactlyAndDamagedRowsAreRefused)
{
    const QStringList hostile = {QString(), QStringLiteral("a\r\nb"), QString::fromUtf8("nul\0here", 8),
                                 QStringLiteral("\"quoted\""), QString(200000, QChar(0x263A))};
    EXPECT_EQ(JournalStore::decodeList(JournalStore::encodeList(hostile)), hostile);
    EXPECT_EQ(JournalStore::decodeList({}), QStringList());
    const QByteArray good = JournalStore::encodeList({QStringLiteral("abc")});
    const struct {
        const char *what;
        QByteArray bytes;
    } damaged[] = {{"cut inside the length", good.left(2)},
                   {"cut inside the text", good.left(good.size() - 1)},
                   {"length beyond the row", QByteArray("\x7f\xff\xff\xff", 4) + "abc"}};
    for (const auto &d : damaged) {
        SCOPED_TRACE(d.what);
        EXPECT_FALSE(JournalStore::decodeList(d.bytes).has_value());
    }
}

TEST(JournalStore, AFileThatIsNoJournalIsSetAsideAndANewOneStarted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.db"));
    quorvane::testing::writeBytes(path, QByteArray(8192, 'x'));
    JournalStore store(path);
    QString message;
    ASSERT_TRUE(store.open(&message));
    EXPECT_TRUE(message.contains(QStringLiteral(".damaged"))) << message.toStdString();
    EXPECT_EQ(quorvane::testing::readBytes(path + QStringLiteral(".damaged")), QByteArray(8192, 'x'));
    const qint64 id = store.beginSession();
    ASSERT_TRUE(store.write(id, {{{QStringLiteral("List1"), {QStringLiteral("x")}}}, {}}));
    EXPECT_EQ(store.load(id).lists.value(QStringLiteral("List1")), QStringList{QStringLiteral("x")});
}

TEST_F(SessionJournalTest, AfterACrashYesRestoresEverythingTheUserWouldMiss)
{
    crashFilled();
    ProgramRun second(config(), {QStringLiteral("yes")});
    EXPECT_EQ(second.questions(), QStringList{Question});
    expectFilled(second.state);
}

TEST_F(SessionJournalTest, NoStartsAsTodayAndKeepsTheJournalForOneMoreStart)
{
    crashFilled();
    {
        ProgramRun second(config(), {QStringLiteral("no")});
        EXPECT_EQ(second.questions(), QStringList{Question});
        EXPECT_TRUE(second.state.listlinks.isEmpty());
        second.closeWindow();
    }
    // A clean end asks nothing; the declined session can still be had once.
    ProgramRun third(config(), {}, /*newest=*/true);
    EXPECT_TRUE(third.questions().isEmpty());
    expectFilled(third.state);
}

TEST_F(SessionJournalTest, ACleanEndAsksNothingUnlessTheSettingRestoresAlways)
{
    {
        ProgramRun first(config());
        fill(first);
        first.closeWindow();
    }
    {
        ProgramRun plain(config());
        EXPECT_TRUE(plain.questions().isEmpty());
        EXPECT_TRUE(plain.state.listlinks.isEmpty());
        // Only what the list files keep comes back, as always.
        EXPECT_TRUE(plain.state.domain2.contains(QStringLiteral("visited.test")));
        fill(plain);
        plain.closeWindow();
    }
    ProgramRun restored(config(true));
    EXPECT_TRUE(restored.questions().isEmpty());
    expectFilled(restored.state);
}

TEST_F(SessionJournalTest, EachTickWritesWhatChangedAndACrashLosesOnlyTheLastSecond)
{
    {
        ProgramRun first(config());
        first.state.listlinks.setItems({url('a')});
        first.host.clock().advance(SessionJournal::FlushIntervalMs);
        first.state.listlinks.add(url('b'));
        first.host.clock().advance(SessionJournal::FlushIntervalMs);
        first.state.List1.add(url('z'));  // after the last tick
    }
    ProgramRun second(config(), {QStringLiteral("yes")});
    EXPECT_EQ(second.state.listlinks.items(), (QStringList{url('a'), url('b')}));
    EXPECT_TRUE(second.state.List1.isEmpty());
}

TEST_F(SessionJournalTest, AnUnrecordedPrivateSessionLeavesNothingInTheJournal)
{
    {
        ProgramRun first(config());
        first.state.listlinks.setItems({url('a')});
        first.host.clock().advance(SessionJournal::FlushIntervalMs);
        first.state.setPrivateZone(true);
        first.state.listlinks.add(url('p'));
        first.host.clock().advance(5 * SessionJournal::FlushIntervalMs);
        // The shutdown waits for the writer without handing over anything new.
        first.closeWindow();
    }
    ProgramRun second(config(true));
    EXPECT_EQ(second.state.listlinks.items(), QStringList{url('a')});
}

TEST_F(SessionJournalTest, AnInterruptedSearchGoesOnWithoutReadingAPageTwice)
{
    {
        ProgramRun first(config());
        first.state.listlinks.setItems({url('a'), url('b'), url('c'), url('d'), url('e'), url('f')});
        first.state.Combo1.list.setItems({QStringLiteral("kw")});
        first.logic.menuClick(QStringLiteral("readit"));
        first.host.fakeTransfer(1).complete(QStringLiteral("kw"));  // a read and found; e handed out
        first.host.fakeTransfer(2).complete(QStringLiteral("no"));  // b read; f handed out
        first.logic.sessionJournal().sync();
    }  // c, d, e, f were in flight
    ProgramRun second(config(), {QStringLiteral("yes"), QStringLiteral("yes")});
    EXPECT_EQ(second.state.List1.items(), QStringList{url('a')});
    EXPECT_EQ(second.state.listlinks.items(), (QStringList{url('c'), url('d'), url('e'), url('f')}));
    second.logic.menuClick(QStringLiteral("readit"));
    const QStringList asked = second.questions();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked.at(1), QStringLiteral("Go on with the 4 pages left of the interrupted search?"));
    QStringList fetched;
    for (int k = 1; k <= 4; ++k)
        fetched += second.host.fakeTransfer(k).executed();
    EXPECT_EQ(fetched, (QStringList{url('c'), url('d'), url('e'), url('f')}));
}

TEST_F(SessionJournalTest, FilesThatCannotBeSavedAreCopiedAndNamed)
{
    ProgramRun run(config());
    // A folder in the way of one list file: the others are written all the same.
    QDir(m_folder.path()).mkdir(QStringLiteral("lb.prv"));
    run.state.Combo2.list.add(QStringLiteral("http://typed.test/"));
    run.logic.Form_Unload();
    ASSERT_EQ(run.state.saveFailures().size(), 1);
    const SaveFailure failure = run.state.saveFailures().first();
    EXPECT_TRUE(failure.file.endsWith(QStringLiteral("lb.prv")));
    const QString copy = QDir(m_state.path())
                             .filePath(QStringLiteral("recovered-") + QDate::currentDate().toString(Qt::ISODate)
                                       + QStringLiteral("/lb.prv"));
    EXPECT_EQ(failure.copy, copy);
    EXPECT_TRUE(quorvane::testing::readBytes(copy).contains("http://typed.test/\r\n"));
    EXPECT_FALSE(quorvane::testing::readBytes(m_folder.filePath(QStringLiteral("domain2.txt"))).isEmpty());
    const auto records = run.host.scripted().records();
    ASSERT_FALSE(records.isEmpty());
    EXPECT_TRUE(records.last().text.contains(QDir::toNativeSeparators(failure.file)));
    EXPECT_TRUE(records.last().text.contains(QFileInfo(copy).absolutePath()));
}

TEST_F(SessionJournalTest, AProgramFolderThatCannotBeWrittenIsSaidAtStartUp)
{
    Config c = config();
    c.programFolder = m_folder.filePath(QStringLiteral("plain-file"));
    quorvane::testing::writeBytes(c.programFolder, "not a folder");
    ProgramRun run(c);
    ASSERT_FALSE(run.host.scripted().records().isEmpty());
    EXPECT_TRUE(run.host.scripted().records().first().text.startsWith(
        QStringLiteral("The program folder %1 cannot be written").arg(c.programFolder)));
    EXPECT_TRUE(run.state.panelText(1).startsWith(QStringLiteral("Cannot write")));
    // The journal goes to the state folder instead.
    EXPECT_TRUE(run.logic.sessionJournal().recording());
}

TEST_F(SessionJournalTest, ACrashWhileTheListFilesAreSavedRestoresNothingOlderThanThem)
{
    // A folder in the way of list6.prv: its warning shows once the other list
    // files are written, before the journal is closed. A crash then leaves the
    // program folder as it is copied there.
    QDir(m_folder.path()).mkdir(QStringLiteral("list6.prv"));
    QTemporaryDir crashed;
    {
        ProgramRun first(config());
        first.state.domain2.add(QStringLiteral("early.test"));
        first.host.clock().advance(SessionJournal::FlushIntervalMs);
        first.logic.sessionJournal().sync();
        // Within the last second before the close: no tick has written these.
        first.state.domain2.add(QStringLiteral("late.test"));
        first.state.Combo2.list.add(QStringLiteral("http://late.test/"));
        first.host.scripted().setMessageObserver([&](const ScriptedServices::Record &) {
            for (const QFileInfo &file : QDir(m_folder.path()).entryInfoList(QDir::Files)) {
                // The lock belongs to this process, which goes on living.
                if (!file.fileName().endsWith(QStringLiteral(".lock")))
                    QFile::copy(file.filePath(), QDir(crashed.path()).filePath(file.fileName()));
            }
        });
        first.closeWindow();
    }
    ASSERT_TRUE(quorvane::testing::readBytes(crashed.filePath(QStringLiteral("domain2.txt"))).contains("late.test"));
    Config atCrash = config();
    atCrash.programFolder = crashed.path();
    ProgramRun second(atCrash, {QStringLiteral("yes")});
    ASSERT_EQ(second.questions().size(), 1);
    EXPECT_TRUE(second.state.domain2.contains(QStringLiteral("late.test")));
    EXPECT_TRUE(second.state.domain2.contains(QStringLiteral("early.test")));
    EXPECT_TRUE(second.state.Combo2.list.contains(QStringLiteral("http://late.test/")));
}

TEST_F(SessionJournalTest, AfterAFailedWriteTheNextOneCarriesEverythingAgain)
{
    const QString journal = QDir(m_folder.path()).filePath(QString::fromLatin1(SessionJournal::FileName));
    // Another connection takes the lists' table away, so that a write fails
    // as on a full disk, and gives it back.
    const auto tick = [](ProgramRun &run) {
        run.host.clock().advance(SessionJournal::FlushIntervalMs);
        run.logic.sessionJournal().sync();
        // The writer's answer comes back through the event loop.
        QCoreApplication::processEvents();
    };
    {
        ProgramRun first(config());
        first.state.listlinks.setItems({url('a')});
        tick(first);
        quorvane::testing::execSql(journal, {"DROP TABLE lists"});
        first.state.listlinks.add(url('b'));
        first.state.List1.add(url('f'));
        tick(first);
        EXPECT_TRUE(first.state.panelText(1).startsWith(QStringLiteral("Cannot write the session journal")));
        quorvane::testing::execSql(journal, {"CREATE TABLE lists (session INTEGER NOT NULL, name TEXT NOT NULL, items BLOB NOT NULL,"
              " PRIMARY KEY (session, name))"});
        // Nothing changes after the failure; the next tick writes it all the same.
        tick(first);
        EXPECT_EQ(first.state.panelText(1), QStringLiteral("Session journal written again"));
    }
    ProgramRun second(config(), {QStringLiteral("yes")});
    EXPECT_EQ(second.state.listlinks.items(), (QStringList{url('a'), url('b')}));
    EXPECT_EQ(second.state.List1.items(), QStringList{url('f')});
}
