#include "support/filesizelimit.h"
#include "support/testfiles.h"
#include "core/listcontrol.h"
#include "core/listfile.h"
#include "host/safefile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {
QStringList split(const QString &text)
{
    QStringList items;
    splitListText(text, [&](const QString &item) { items.append(item); });
    return items;
}
}  // namespace

// Before the reading test: an entry read in the Windows code page is written
// back so for the rest of the process, and that test reads a "café" so.
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
        writeBytes(path, c.bytes);
        const QStringList items = split(readListFile(path));
        EXPECT_EQ(items, c.items);
        // Written back as the program writes lists: the same bytes per entry.
        ASSERT_TRUE(writeListFile(path, items));
        EXPECT_EQ(split(readListFile(path)), c.items);
    }
    const QString mixed = dir.filePath(QStringLiteral("mixed"));
    EXPECT_EQ(readBytes(mixed),
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
        splitListText(listRecordText(readBytes(dir.filePath(name))), [&items](const QString &item) {
            EXPECT_FALSE(item.isEmpty() || item.contains(u'\r') || item.contains(u'\n'));
            items.append(QString(item).replace(u'"', QStringLiteral("%22")));
        });
        EXPECT_EQ(split(listRecordText(listFileRecord(items))), items);
    }
}

TEST(ListFile, ReadingTakesTheQuotedRecordOrTheTextUpToACommaOrLineBreak)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("domain2.txt"));
    EXPECT_EQ(readListFile(path), QString());  // missing file
    const struct {
        const char *bytes;
        QString text;
    } cases[] = {
        {"\"a\r\nb\r\n\"\r\ntrailing junk \"x\"", QStringLiteral("a\r\nb\r\n")},
        {"first.com,second.com\r\n", QStringLiteral("first.com")},
        {"\"unterminated\r\n", QStringLiteral("unterminated\r\n")},
        {"", QString()},
        // UTF-8, as written here; or the Windows code page of a file written by hand.
        {"\"caf\xc3\xa9.example\r\n\"\r\n", QStringLiteral("caf\u00e9.example\r\n")},
        {"\"caf\xe9.example\r\n\x93quoted\x94 \x80\r\n\"\r\n",
         QStringLiteral("caf\u00e9.example\r\n\u201cquoted\u201d \u20ac\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        writeBytes(path, c.bytes);
        EXPECT_EQ(readListFile(path), c.text);
    }
}

TEST(ListFile, QuotesAndLineBreaksInsideItemsSurviveTheRoundTripAsPercentEscapes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lb.prv"));
    ASSERT_TRUE(writeListFile(path, {QStringLiteral("http://a/?q=\"x\""), QStringLiteral("two\r\nlines"),
                                     QStringLiteral("after"), QStringLiteral("http://ü.example/")}));
    EXPECT_EQ(split(readListFile(path)),
              (QStringList{"http://a/?q=%22x%22", "two%0D%0Alines", "after", QStringLiteral("http://ü.example/")}));
}

TEST(ListFile, AddressEntriesStopAtTwentyAndSkipDuplicatesAndLineBreaksOtherListsExactDuplicates)
{
    ListControl list(QStringLiteral("Combo2"), false);
    for (int i = 0; i < 25; ++i)
        addAddressEntry(list, QStringLiteral("http://site%1/").arg(i));
    ASSERT_EQ(list.count(), 20);
    // Each address beyond twenty replaced the last entry.
    EXPECT_EQ(list.at(18), QStringLiteral("http://site18/"));
    EXPECT_EQ(list.at(19), QStringLiteral("http://site24/"));
    addAddressEntry(list, QStringLiteral("a\r\nb"));
    addAddressEntry(list, QStringLiteral("http://site0/"));  // drops the last, then finds the duplicate
    EXPECT_EQ(list.count(), 19);
    EXPECT_FALSE(list.contains(QStringLiteral("a\r\nb")));

    ListControl domains(QStringLiteral("domain"), true);
    for (const char *domain : {"x.com", "x.com", "X.com"})
        addUnique(domains, QString::fromLatin1(domain));
    EXPECT_EQ(domains.count(), 2);
}

// A full disk must never leave a truncated list file, nor a temporary one, behind.
TEST(SafeFile, AFailedWriteKeepsThePreviousContentAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("favor2.txt"));
    const QStringList good{QStringLiteral("http://kept.example/")};
    ASSERT_TRUE(writeListFile(path, good));
    bool written = true;
    {
        const FileSizeLimit fullDisk;
        written = writeListFile(path, {QStringLiteral("http://lost.example/")});
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(path), listFileRecord(good));
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("no/such/folder/x.txt")), "data"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"favor2.txt"});
}
