#include "partners/partnerstore.h"

#include "support/sqlfile.h"
#include "support/testfiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

constexpr qint64 Minute = 60 * 1000;

CheckRecord checkAt(qint64 at, bool live)
{
    CheckRecord r;
    r.checkedAt = at;
    r.answered = true;
    r.httpStatus = live ? 200 : 503;
    r.linkFound = live;
    return r;
}

class PartnerStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QString error;
        ASSERT_TRUE(m_store.open(path(), &error)) << error.toStdString();
    }
    QString path() const { return m_dir.filePath(QStringLiteral("partners.sqlite")); }
    qint64 add(const QString &page)
    {
        Partner p;
        p.page = page;
        const auto id = m_store.addPartner(p, 1000);
        EXPECT_TRUE(id) << m_store.lastError().toStdString();
        return id.value_or(0);
    }

    QTemporaryDir m_dir;
    PartnerStore m_store;
};

// "Lost" needs the failure to hold on two checks at least an hour apart; a
// live check in between starts the count again.
TEST_F(PartnerStoreTest, LostAfterTwoFailingRunsAnHourApart)
{
    struct Step {
        qint64 at;
        bool live;
        bool lost;
    };
    const Step steps[] = {
        {0, true, false},
        {10 * Minute, false, false},
        {40 * Minute, false, false},  // 30 minutes into the failure
        {69 * Minute, false, false},
        {70 * Minute, false, true},   // an hour after the first failing check
        {80 * Minute, true, false},
        {100 * Minute, false, false},
        {170 * Minute, false, true},
    };
    const qint64 id = add(QStringLiteral("http://a.example/"));
    for (const Step &s : steps) {
        SCOPED_TRACE(s.at / Minute);
        PartnerState after;
        ASSERT_TRUE(m_store.recordCheck(id, checkAt(s.at, s.live), &after)) << m_store.lastError().toStdString();
        const PartnerState read = *m_store.partner(id);
        EXPECT_EQ(read.lost, s.lost);
        // What the store tells of the check is what it reads back.
        EXPECT_EQ(after.partner.id, id);
        EXPECT_EQ(after.verdict, read.verdict);
        EXPECT_EQ(after.previousVerdict, read.previousVerdict);
        EXPECT_EQ(after.verdictSince, read.verdictSince);
        EXPECT_EQ(after.lastCheckedAt, read.lastCheckedAt);
        EXPECT_EQ(after.failingSince, read.failingSince);
        EXPECT_EQ(after.lost, read.lost);
    }
    const PartnerState state = *m_store.partner(id);
    EXPECT_EQ(state.verdictSince, 100 * Minute);
    EXPECT_EQ(*state.previousVerdict, Verdict::Live);
    EXPECT_FALSE(state.changedOnLastCheck());
    EXPECT_EQ(m_store.checks(id).size(), 8);
    // live, unreachable, live, unreachable: four verdict changes, newest first.
    const QList<StatusChange> changes = m_store.changes(id);
    ASSERT_EQ(changes.size(), 4);
    EXPECT_EQ(changes.first().from, "live");
    EXPECT_EQ(changes.first().to, "unreachable");
    EXPECT_EQ(changes.last().from, "");
}

TEST_F(PartnerStoreTest, PartnersSitesAndHistorySurviveReopening)
{
    const qint64 id = add(QStringLiteral("http://a.example/"));
    Partner duplicate;
    duplicate.page = QStringLiteral("http://a.example/");
    EXPECT_FALSE(m_store.addPartner(duplicate, 0)) << "a page listed twice";
    ASSERT_TRUE(m_store.setSites({"mysite.example", "https://other.example/page"}));
    CheckRecord r = checkAt(5000, true);
    r.rel = QStringList{"ugc"};
    r.anchorText = QStringLiteral("<b>x</b>, \"quoted\"");
    r.redirects = QStringList{"http://a.example/old"};
    ASSERT_TRUE(m_store.recordCheck(id, r));
    Partner edited = m_store.partner(id)->partner;
    edited.outreach = Outreach::Agreed;
    edited.note = QStringLiteral("mailed them");
    ASSERT_TRUE(m_store.updatePartner(edited, 6000));

    PartnerStore again;
    QString error;
    ASSERT_TRUE(again.open(path(), &error)) << error.toStdString();
    EXPECT_EQ(again.sites(), (QStringList{"mysite.example", "https://other.example/page"}));
    const PartnerState state = *again.partner(id);
    EXPECT_EQ(state.partner.outreach, Outreach::Agreed);
    EXPECT_EQ(state.partner.outreachChangedAt, 6000);
    EXPECT_EQ(*state.verdict, Verdict::NotFollowed);
    const CheckRecord stored = again.checks(id).first().record;
    EXPECT_EQ(stored.anchorText, r.anchorText);
    EXPECT_EQ(stored.redirects, r.redirects);
    EXPECT_EQ(again.changes(id).first().what, "outreach");
}

TEST_F(PartnerStoreTest, RemoveAndRestoreKeepTheHistory)
{
    const qint64 id = add(QStringLiteral("http://a.example/"));
    ASSERT_TRUE(m_store.recordCheck(id, checkAt(1, true)));
    ASSERT_TRUE(m_store.removePartner(id));
    EXPECT_TRUE(m_store.partners().isEmpty());
    ASSERT_TRUE(m_store.restorePartner(id));
    ASSERT_EQ(m_store.partners().size(), 1);
    EXPECT_EQ(m_store.checks(id).size(), 1);
    // Adding a removed page again brings it back too.
    ASSERT_TRUE(m_store.removePartner(id));
    EXPECT_EQ(add(QStringLiteral("http://a.example/")), id);
}

// A file of the first schema is brought up to date with its rows; a file of
// a newer program or no database at all is refused without being touched.
TEST(PartnerStoreFile, MigrationAndRefusals)
{
    QTemporaryDir dir;
    const QString oldFile = dir.filePath("old.sqlite");
    testing::execSql(oldFile, {
        "CREATE TABLE partners (id INTEGER PRIMARY KEY, page TEXT NOT NULL UNIQUE, site TEXT NOT NULL DEFAULT '',"
                           " anchor TEXT NOT NULL DEFAULT '', outreach TEXT NOT NULL DEFAULT 'found', note TEXT NOT NULL DEFAULT '',"
                           " added_at INTEGER NOT NULL DEFAULT 0, outreach_changed_at INTEGER NOT NULL DEFAULT 0, verdict TEXT,"
                           " previous_verdict TEXT, verdict_since INTEGER NOT NULL DEFAULT 0, last_checked_at INTEGER NOT NULL DEFAULT 0)",
        "CREATE TABLE own_sites (position INTEGER PRIMARY KEY, site TEXT NOT NULL)",
        "CREATE TABLE checks (id INTEGER PRIMARY KEY, partner_id INTEGER NOT NULL, checked_at INTEGER NOT NULL,"
                           " verdict TEXT NOT NULL, http_status INTEGER NOT NULL DEFAULT 0, final_address TEXT NOT NULL DEFAULT '',"
                           " link_found INTEGER NOT NULL DEFAULT 0, rel TEXT NOT NULL DEFAULT '', anchor_text TEXT NOT NULL DEFAULT '',"
                           " robots TEXT NOT NULL DEFAULT '', record TEXT NOT NULL DEFAULT '{}')",
        "CREATE TABLE status_changes (id INTEGER PRIMARY KEY, partner_id INTEGER NOT NULL, changed_at INTEGER NOT NULL,"
                           " what TEXT NOT NULL, old_value TEXT NOT NULL DEFAULT '', new_value TEXT NOT NULL DEFAULT '')",
        "INSERT INTO partners (page, verdict) VALUES ('http://kept.example/', 'live')",
        "PRAGMA user_version=1",
    });
    {
        PartnerStore store;
        QString error;
        ASSERT_TRUE(store.open(oldFile, &error)) << error.toStdString();
        ASSERT_EQ(store.partners().size(), 1);
        EXPECT_EQ(store.partners().first().partner.page, "http://kept.example/");
        EXPECT_FALSE(store.partners().first().lost);
    }

    const QString textFile = dir.filePath("text.sqlite");
    const QByteArray text = QByteArray("just some text, not a database at all").repeated(100);
    testing::writeBytes(textFile, text);
    const QString newerFile = dir.filePath("newer.sqlite");
    testing::execSql(newerFile, {"PRAGMA user_version=99"});
    const struct {
        QString path;
        const char *message;
    } refused[] = {{textFile, "no partner database"}, {newerFile, "newer program"}};
    for (const auto &r : refused) {
        SCOPED_TRACE(r.message);
        PartnerStore store;
        QString error;
        EXPECT_FALSE(store.open(r.path, &error));
        EXPECT_TRUE(error.contains(r.message)) << error.toStdString();
    }
    EXPECT_EQ(testing::readBytes(textFile), text);
}

}  // namespace
}  // namespace quorvane
