#include "partners/partnerscsv.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvane {
namespace {

class PartnersCsvTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_store.open(m_dir.filePath("partners.sqlite"), &error)) << error.toStdString();
    }
    ImportOutcome import(const QByteArray &csv) { return importPartners(m_store, readCsv(csv), 1000); }

    QTemporaryDir m_dir;
    PartnerStore m_store;
};

// Bad lines are refused by number; every other line goes in.
TEST_F(PartnersCsvTest, ImportRefusesBadLinesAndKeepsTheRest)
{
    QByteArray csv = "\xef\xbb\xbf" "note,page,status,site,anchor\r\n"  // any column order
                     "first,http://a.example/links,agreed,,My Site\r\n"
                     "x,javascript:alert(1),,,\r\n"                        // line 3
                     "x,http://b.example/,bogus,,\r\n"                     // line 4
                     "x,http://c.example/,,not a host,\r\n"                // line 5
                     ",,,,\r\n"                                            // line 6: no page
                     "\"=HYPERLINK(\"\"http://evil.example\"\")\",http://d.example/,,,\r\n";
    csv += QByteArray("a\0b", 3) + ",http://e.example/,,https://www.mysite.example/shop/,\r\n";
    csv += "short,http://f.example/\r\n";  // missing cells are empty
    csv += "big,http://g.example/," + QByteArray(10 * 1024 * 1024, 'x') + ",,\r\n";  // line 10
    csv += "last,http://h.example/,,,\r\n";
    const ImportOutcome outcome = import(csv);
    EXPECT_TRUE(outcome.fatal.isEmpty());
    EXPECT_EQ(outcome.added, 5);
    QList<int> lines;
    for (const CsvLineError &e : outcome.errors) {
        lines.append(e.line);
        EXPECT_FALSE(e.message.isEmpty());
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (QList<int>{3, 4, 5, 6, 10}));

    const auto d = m_store.partnerByPage("http://d.example/");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->partner.note, "=HYPERLINK(\"http://evil.example\")");
    const auto e = m_store.partnerByPage("http://e.example/");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->partner.note, "ab");
    EXPECT_EQ(e->partner.site, "http://mysite.example/shop/");
    const auto a = m_store.partnerByPage("http://a.example/links");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->partner.outreach, Outreach::Agreed);
    EXPECT_EQ(a->partner.anchor, "My Site");

    // Listed pages are updated by the cells given, the others kept.
    const ImportOutcome again = import("page,status\r\nhttp://a.example/links,live\r\n");
    EXPECT_EQ(again.updated, 1);
    EXPECT_EQ(m_store.partnerByPage("http://a.example/links")->partner.outreach, Outreach::Live);
    EXPECT_EQ(m_store.partnerByPage("http://a.example/links")->partner.note, "first");
}

TEST_F(PartnersCsvTest, WholeFileRefusals)
{
    for (const QByteArray &csv : {QByteArray("site,anchor\r\nmysite.example,x\r\n"), QByteArray()}) {
        SCOPED_TRACE(csv.constData());
        const ImportOutcome outcome = import(csv);
        EXPECT_FALSE(outcome.fatal.isEmpty());
        EXPECT_TRUE(m_store.partners().isEmpty());
    }
}

// A check's row carries the whole record: written, read back and merged into
// another store it gives the same verdict, and merging twice adds nothing.
TEST_F(PartnersCsvTest, ResultsRoundTrip)
{
    ASSERT_TRUE(import("page,anchor,note\r\nhttp://a.example/,My Site,\"-1, \"\"quoted\"\"\"\r\n").errors.isEmpty());
    const PartnerState before = m_store.partners().first();
    CheckRecord r;
    r.checkedAt = 1'700'000'000'123;
    r.answered = true;
    r.httpStatus = 200;
    r.linkFound = true;
    r.rel = QStringList{"sponsored"};
    r.anchorText = "@home <b>";
    r.redirects = QStringList{"http://a.example/old"};
    ASSERT_TRUE(m_store.recordCheck(before.partner.id, r));
    const PartnerState state = m_store.partners().first();
    const QList<StoredCheck> checks = m_store.checks(state.partner.id);
    CsvWriter writer(partnerCsvColumns());
    writer.addRow(partnerCsvRow(state, &checks.first()));
    const QByteArray data = writer.data();
    EXPECT_TRUE(data.contains(",'@home <b>,")) << data.constData();

    QTemporaryDir other;
    PartnerStore merged;
    QString error;
    ASSERT_TRUE(merged.open(other.filePath("m.sqlite"), &error));
    for (int round = 0; round < 2; ++round) {
        const ImportOutcome outcome = importResults(merged, readCsv(data), 5);
        ASSERT_TRUE(outcome.fatal.isEmpty()) << outcome.fatal.toStdString();
        EXPECT_TRUE(outcome.errors.isEmpty());
        EXPECT_EQ(outcome.checks, round == 0 ? 1 : 0);
    }
    const PartnerState got = merged.partners().first();
    EXPECT_EQ(*got.verdict, Verdict::NotFollowed);
    EXPECT_EQ(got.lastCheckedAt, r.checkedAt);
    EXPECT_EQ(got.partner.note, "-1, \"quoted\"");
    const CheckRecord back = merged.checks(got.partner.id).first().record;
    EXPECT_EQ(back.anchorText, r.anchorText);
    EXPECT_EQ(back.redirects, r.redirects);
    EXPECT_FALSE(importResults(merged, readCsv("page,verdict\r\nhttp://a.example/,live\r\n"), 5).fatal.isEmpty());
}

TEST(PartnersSummary, GoodNewsFirstZerosLeftOut)
{
    EXPECT_EQ(verdictSummary({Verdict::Unreachable, Verdict::Live, Verdict::Missing, Verdict::Live, Verdict::NotFollowed,
                              Verdict::Missing}),
              "2 live, 1 not followed, 2 missing, 1 unreachable");
    EXPECT_EQ(verdictSummary({}), "no partner checked");
}

}  // namespace
}  // namespace quorvane
