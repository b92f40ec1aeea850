#include "support/testfiles.h"

#include "core/listfile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvane {

namespace {
QStringList itemsOf(const QString &path)
{
    QStringList items;
    splitListText(readListFile(path), [&items](const QString &item) { items.append(item); });
    return items;
}
}  // namespace

// Hand-written and older files: one bad byte decides only its own entry, any
// line end ends an entry, and what nobody changed is written back byte for byte.
TEST(ListFileEncoding, EachEntryKeepsItsOwnEncodingAndLineEndsOfEveryKindSplit)
{
    QTemporaryDir dir;
    const struct {
        const char *name;
        QByteArray bytes;
        QStringList items;
    } cases[] = {
        {"mixed", "\"caf\xc3\xa9.example\r\nna\xefve.example\r\n\xe4\xbe\x8b\xe3\x81\x88.jp\r\n\"\r\n",
         {QStringLiteral("café.example"), QStringLiteral("naïve.example"), QStringLiteral("例え.jp")}},
        {"lf", "\"a.test\nb.test\n\"\n", {"a.test", "b.test"}},
        {"cr", "\"a.test\rb.test\r\"\r", {"a.test", "b.test"}},
        {"blank lines", "\"a.test\r\n\r\n\nb.test\"", {"a.test", "b.test"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        testing::writeBytes(path, c.bytes);
        const QStringList items = itemsOf(path);
        EXPECT_EQ(items, c.items);
        // Written back as the program writes lists: the same bytes per entry.
        ASSERT_TRUE(writeListFile(path, items));
        EXPECT_EQ(itemsOf(path), c.items);
    }
    const QString mixed = dir.filePath(QStringLiteral("mixed"));
    EXPECT_EQ(testing::readBytes(mixed),
              QByteArray("\"caf\xc3\xa9.example\r\nna\xefve.example\r\n\xe4\xbe\x8b\xe3\x81\x88.jp\r\n\"\r\n"));
}

TEST(ListFileEncoding, AnEntryLongerThanAnyAddressIsSkippedAndCounted)
{
    QStringList items;
    const QString huge(MaxListEntryLength + 1, QLatin1Char('x'));
    const int skipped = splitListText(QStringLiteral("a.test\r\n") + huge + QStringLiteral("\r\nb.test"),
                                      [&items](const QString &item) { items.append(item); });
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(items, (QStringList{"a.test", "b.test"}));
}

// The list-file fuzzer's corpus: entries clean, written back and read again the same.
TEST(ListFileEncoding, FuzzCorpusRoundTrips)
{
    const QDir dir(QStringLiteral(QUORVANE_SOURCE_DIR "/fuzz/corpus/listfile"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        SCOPED_TRACE(qPrintable(name));
        QStringList items;
        splitListText(listRecordText(testing::readBytes(dir.filePath(name))), [&items](const QString &item) {
            EXPECT_FALSE(item.isEmpty() || item.contains(u'\r') || item.contains(u'\n'));
            items.append(QString(item).replace(u'"', QStringLiteral("%22")));
        });
        QStringList again;
        splitListText(listRecordText(listFileRecord(items)), [&again](const QString &item) { again.append(item); });
        EXPECT_EQ(again, items);
    }
}

}  // namespace quorvane
