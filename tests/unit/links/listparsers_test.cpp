#include "links/accountlist.h"
#include "links/homepagewalk.h"
#include "links/sitelist.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
QStringList names(const QVector<SiteEntry> &entries)
{
    QStringList out;
    for (const SiteEntry &e : entries)
        out.append(e.name);
    return out;
}
QStringList addresses(const QVector<SiteEntry> &entries)
{
    QStringList out;
    for (const SiteEntry &e : entries)
        out.append(e.address);
    return out;
}
}  // namespace

TEST(SiteListTest, ReadsNamesAndAddressesWithLineBreaksBelongingToTheNextName)
{
    const auto flat = parseSiteList(QStringLiteral("Alpha<http://a/>Beta<http://b/>"));
    EXPECT_EQ(names(flat), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(addresses(flat), (QStringList{"http://a/", "http://b/"}));

    const auto broken = parseSiteList(QStringLiteral("Alpha<http://a/>\r\nBeta<http://b/>\r\n"));
    EXPECT_EQ(names(broken), (QStringList{"Alpha", "\r\nBeta"}));
    EXPECT_EQ(addresses(broken), (QStringList{"http://a/", "http://b/"}));
}

TEST(SiteListTest, MalformedTextGivesFewerEntriesNeverGarbage)
{
    EXPECT_TRUE(parseSiteList(QString()).isEmpty());
    EXPECT_TRUE(parseSiteList(QStringLiteral("no brackets at all")).isEmpty());
    EXPECT_TRUE(parseSiteList(QStringLiteral("<")).isEmpty());
    EXPECT_TRUE(parseSiteList(QStringLiteral(">>>><<<<")).isEmpty());
    // A missing closing bracket drops that entry and ends the list.
    EXPECT_EQ(names(parseSiteList(QStringLiteral("Alpha<A>Beta<http://b/ and more"))), QStringList{"Alpha"});
    // A list cut by the read size keeps only its whole entries.
    EXPECT_EQ(names(parseSiteList(QStringLiteral("Alpha<A>Beta<htt"))), QStringList{"Alpha"});
    // A tail of four characters or fewer after the last ">" is not read, even as an entry.
    EXPECT_EQ(names(parseSiteList(QStringLiteral("Alpha<A>B<C>"))), QStringList{"Alpha"});
    EXPECT_EQ(names(parseSiteList(QStringLiteral("Alpha<A>Bb<C>"))), (QStringList{"Alpha", "Bb"}));
}

TEST(AccountListTest, ReadsWholeRecordsOnly)
{
    const auto accounts = parseAccountList(QStringLiteral("demo<http://s/><http://c/><http://t/>x2<S2><C2><T2>"));
    ASSERT_EQ(accounts.size(), 2);
    EXPECT_EQ(accounts[0].password, QStringLiteral("demo"));
    EXPECT_EQ(accounts[0].searchListUrl, QStringLiteral("http://s/"));
    EXPECT_EQ(accounts[0].channelListUrl, QStringLiteral("http://c/"));
    EXPECT_EQ(accounts[0].startPage, QStringLiteral("http://t/"));
    EXPECT_EQ(accounts[1].password, QStringLiteral("x2"));
    EXPECT_EQ(accounts[1].startPage, QStringLiteral("T2"));

    // Text between records belongs to the next password.
    EXPECT_EQ(parseAccountList(QStringLiteral("a<s><c><t>\r\nb<s><c><t>")).at(1).password, QStringLiteral("\r\nb"));
    EXPECT_TRUE(parseAccountList(QString()).isEmpty());
    EXPECT_TRUE(parseAccountList(QStringLiteral("demo")).isEmpty());
    EXPECT_TRUE(parseAccountList(QStringLiteral("demo<s><c>")).isEmpty());
    EXPECT_EQ(parseAccountList(QStringLiteral("demo<s><c><t>next<s><c><t")).size(), 1);
}

TEST(HomePageLinesTest, TakesOnlyLinesEndedByCrLf)
{
    EXPECT_EQ(HomePageWalk::splitHomePageLines(QStringLiteral("A\r\nB\r\n")), (QStringList{"A", "B"}));
    EXPECT_EQ(HomePageWalk::splitHomePageLines(QStringLiteral("A\r\nB")), QStringList{"A"});
    EXPECT_TRUE(HomePageWalk::splitHomePageLines(QString()).isEmpty());
    EXPECT_TRUE(HomePageWalk::splitHomePageLines(QStringLiteral("no line end")).isEmpty());
    EXPECT_TRUE(HomePageWalk::splitHomePageLines(QStringLiteral("\r\n")).isEmpty());
}

// The fuzzers' starting and finding corpus, replayed on every run so that a
// crash found once stays fixed.
TEST(ListParserCorpusTest, EveryCorpusFileParsesWithinItsBounds)
{
    int files = 0;
    for (const char *target : {"sitelist", "accountlist"}) {
        const QDir dir(QStringLiteral(QUORVANE_SOURCE_DIR "/fuzz/corpus/") + QLatin1String(target));
        for (const QString &name : dir.entryList(QDir::Files)) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            const QString text = QString::fromUtf8(file.readAll());
            ++files;
            qsizetype taken = 0;
            if (QLatin1String(target) == QLatin1String("sitelist")) {
                for (const SiteEntry &e : parseSiteList(text))
                    taken += e.name.size() + e.address.size() + 2;
            } else {
                for (const Account &a : parseAccountList(text))
                    taken += a.password.size() + a.searchListUrl.size() + a.channelListUrl.size() + a.startPage.size() + 6;
            }
            EXPECT_LE(taken, text.size()) << name.toStdString();
        }
    }
    EXPECT_GT(files, 0);
}
