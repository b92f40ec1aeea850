#include "support/testfiles.h"
#include "host/safefile.h"
#include "core/listcontrol.h"
#include "core/listfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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

TEST(ListFile, RecordFormatIsQuoteItemsWithCrLfQuoteCrLf)
{
    EXPECT_EQ(listFileRecord({}), QByteArray("\"\"\r\n"));
    EXPECT_EQ(listFileRecord({QStringLiteral("a"), QStringLiteral("bc")}), QByteArray("\"a\r\nbc\r\n\"\r\n"));
    EXPECT_EQ(listFileRecord({QStringLiteral("a"), QStringLiteral("bc")}).size(), 11);
}

TEST(ListFile, SplittingYieldsEveryNonEmptyItemIncludingShortAndUnterminatedLastOnes)
{
    EXPECT_TRUE(split(QString()).isEmpty());
    EXPECT_EQ(split(QStringLiteral("x.com\r\nab\r\n")), (QStringList{"x.com", "ab"}));
    EXPECT_EQ(split(QStringLiteral("ab\r\n")), (QStringList{"ab"}));
    EXPECT_EQ(split(QStringLiteral("\r\na\r\n\r\nb")), (QStringList{"a", "b"}));
    EXPECT_EQ(split(QStringLiteral("a.com")), (QStringList{"a.com"}));
}

TEST(ListFile, ReadingTakesTheQuotedRecordOrTheTextUpToACommaOrLineBreak)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("domain2.txt"));
    EXPECT_EQ(readListFile(path), QString());  // missing file
    writeBytes(path, "\"a\r\nb\r\n\"\r\ntrailing junk \"x\"");
    EXPECT_EQ(readListFile(path), QStringLiteral("a\r\nb\r\n"));
    writeBytes(path, "first.com,second.com\r\n");
    EXPECT_EQ(readListFile(path), QStringLiteral("first.com"));
    writeBytes(path, "\"unterminated\r\n");
    EXPECT_EQ(readListFile(path), QStringLiteral("unterminated\r\n"));
    writeBytes(path, "");
    EXPECT_EQ(readListFile(path), QString());

    // UTF-8, as written here; or the Windows code page of a file written by hand.
    writeBytes(path, "\"caf\xc3\xa9.example\r\n\"\r\n");
    EXPECT_EQ(readListFile(path), QStringLiteral("caf\u00e9.example\r\n"));
    writeBytes(path, "\"caf\xe9.example\r\n\x93quoted\x94 \x80\r\n\"\r\n");
    EXPECT_EQ(readListFile(path), QStringLiteral("caf\u00e9.example\r\n\u201cquoted\u201d \u20ac\r\n"));
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

TEST(ListFile, AddressEntriesStopAtTwentyAndSkipDuplicatesAndLineBreaks)
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
}

TEST(ListFile, AddUniqueComparesExactly)
{
    ListControl list(QStringLiteral("domain"), true);
    addUnique(list, QStringLiteral("x.com"));
    addUnique(list, QStringLiteral("x.com"));
    addUnique(list, QStringLiteral("X.com"));
    EXPECT_EQ(list.count(), 2);
}

// A full disk must never leave a truncated list file behind.
TEST(SafeFile, FullDiskKeepsThePreviousContent)
{
    QTemporaryDir dir;
    const QString mount = dir.filePath(QStringLiteral("small"));
    QDir().mkpath(mount);
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                    QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mount}) != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
    }
    const QString path = mount + QStringLiteral("/favor2.txt");
    const QStringList good{QStringLiteral("http://kept.example/")};
    EXPECT_TRUE(writeListFile(path, good));
    // Fill the disk, then try a list larger than what is left.
    {
        QFile filler(mount + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    QStringList big;
    for (int i = 0; i < 2000; ++i)
        big.append(QStringLiteral("http://lost%1.example/").arg(i));
    EXPECT_FALSE(writeListFile(path, big));
    EXPECT_EQ(readBytes(path), listFileRecord(good));
    EXPECT_EQ(QDir(mount).entryList(QDir::Files).size(), 2) << "no temporary file may be left behind";
    QProcess::execute(QStringLiteral("umount"), {mount});
}

TEST(SafeFile, MissingFolderFailsWithoutCreatingAnything)
{
    QTemporaryDir dir;
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("no/such/folder/x.txt")), "data"));
    EXPECT_TRUE(writeFileAtomically(dir.filePath(QStringLiteral("x.txt")), "data"));
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("x.txt"))), QByteArray("data"));
}
