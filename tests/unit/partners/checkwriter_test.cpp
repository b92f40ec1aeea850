#include "partners/checkwriter.h"

#include "support/testfiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

CheckRecord liveAt(qint64 at)
{
    CheckRecord r;
    r.checkedAt = at;
    r.answered = true;
    r.httpStatus = 200;
    r.linkFound = true;
    return r;
}

class ThreadedCheckWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QString error;
        ASSERT_TRUE(m_store.open(path(), &error)) << error.toStdString();
        for (int i = 0; i < 50; ++i) {
            Partner p;
            p.page = QStringLiteral("http://p%1.example/").arg(i);
            m_ids.append(m_store.addPartner(p, 0).value_or(0));
        }
    }
    QString path() const { return m_dir.filePath(QStringLiteral("partners.sqlite")); }
    std::unique_ptr<ThreadedCheckWriter> openWriter()
    {
        QString error;
        auto writer = ThreadedCheckWriter::open(path(), &error);
        EXPECT_TRUE(writer) << error.toStdString();
        if (writer) {
            QObject::connect(writer.get(), &CheckWriter::stored, [this](qint64 id, const PartnerState &after) {
                m_stored.append(id);
                m_after.append(after);
            });
            QObject::connect(writer.get(), &CheckWriter::failed, [this](const QString &why) { m_failed.append(why); });
        }
        return writer;
    }

    QTemporaryDir m_dir;
    PartnerStore m_store;
    QList<qint64> m_ids;
    QList<qint64> m_stored;
    QList<PartnerState> m_after;
    QStringList m_failed;
};

// Checks written faster than one commit each come out stored, in order, each
// told with what the store holds; one for no partner fails alone.
TEST_F(ThreadedCheckWriterTest, StoresEveryCheckInOrderAndTellsEachOnce)
{
    auto writer = openWriter();
    ASSERT_TRUE(writer);
    for (int i = 0; i < m_ids.size(); ++i) {
        writer->write(m_ids.at(i), liveAt(1000 + i));
        if (i == 20)
            writer->write(999999, liveAt(1000));
    }
    writer->waitStored();
    EXPECT_EQ(m_stored, m_ids);
    ASSERT_EQ(m_failed.size(), 1);
    EXPECT_TRUE(m_failed.first().contains(QStringLiteral("no partner 999999"))) << m_failed.first().toStdString();
    for (int i = 0; i < m_ids.size(); ++i) {
        SCOPED_TRACE(i);
        const PartnerState read = *m_store.partner(m_ids.at(i));
        EXPECT_EQ(read.verdict, Verdict::Live);
        EXPECT_EQ(m_after.at(i).verdict, read.verdict);
        EXPECT_EQ(m_after.at(i).lastCheckedAt, 1000 + i);
        EXPECT_EQ(m_store.checks(m_ids.at(i)).size(), 1);
    }
    // Nothing is told twice when the queued delivery comes after the wait.
    QCoreApplication::processEvents();
    EXPECT_EQ(m_stored.size(), m_ids.size());
}

// The window edits partners through its own connection while checks are
// stored: neither side's write fails for the other's.
TEST_F(ThreadedCheckWriterTest, EditsBesideTheWriterNeitherFail)
{
    auto writer = openWriter();
    ASSERT_TRUE(writer);
    for (int round = 0; round < 20; ++round) {
        for (const qint64 id : std::as_const(m_ids))
            writer->write(id, liveAt(10000 + round));
        for (const qint64 id : std::as_const(m_ids)) {
            Partner p = m_store.partner(id)->partner;
            p.note = QStringLiteral("round %1").arg(round);
            ASSERT_TRUE(m_store.updatePartner(p, 10000 + round)) << m_store.lastError().toStdString();
        }
    }
    writer->waitStored();
    EXPECT_TRUE(m_failed.isEmpty()) << m_failed.value(0).toStdString();
    EXPECT_EQ(m_store.checkCount(), 20 * m_ids.size());
}

// A writer closed with checks still queued stores them first.
TEST_F(ThreadedCheckWriterTest, ClosingStoresWhatIsQueued)
{
    {
        auto writer = openWriter();
        ASSERT_TRUE(writer);
        for (const qint64 id : std::as_const(m_ids))
            writer->write(id, liveAt(5000));
    }
    EXPECT_EQ(m_store.checkCount(), m_ids.size());
    EXPECT_TRUE(m_failed.isEmpty());
}

TEST(ThreadedCheckWriterFile, RefusesWhatIsNoDatabase)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("partners.sqlite"));
    testing::writeBytes(path, QByteArray(4096, 'x'));
    QString error;
    EXPECT_FALSE(ThreadedCheckWriter::open(path, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no partner database"))) << error.toStdString();
}

}  // namespace
}  // namespace quorvane
