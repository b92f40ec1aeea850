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

TEST(ListFile, SplittingYieldsEveryNonEmptyItemIncludingShortAndUnterminatedLastOnes)
{
    EXPECT_TRUE(split(QString()).isEmpty());
    EXPECT_EQ(split(QStringLiteral("x.com\r\nab\r\n")), (QStringList{"x.com", "ab"}));
    EXPECT_EQ(split(QStringLiteral("\r\na\r\n\r\nb")), (QStringList{"a", "b"}));
    EXPECT_EQ(split(QStringLiteral("a.com")), (QStringList{"a.com"}));
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
