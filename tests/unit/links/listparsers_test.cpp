// The home site's lists: channels and search engines, accounts, home pages.
#include "links/accountlist.h"
#include "links/homepagewalk.h"
#include "links/sitelist.h"
#include "support/testfiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quorvane;

namespace {
// Entries written back in their list form, so one string shows every field.
QStringList sites(const QString &text)
{
    QStringList out;
    for (const SiteEntry &e : parseSiteList(text))
        out << e.name + QLatin1Char('<') + e.address + QLatin1Char('>');
    return out;
}
QStringList accounts(const QString &text)
{
    QStringList out;
    for (const Account &a : parseAccountList(text))
        out << QStringLiteral("%1<%2><%3><%4>").arg(a.password, a.searchListUrl, a.channelListUrl, a.startPage);
    return out;
}
}  // namespace

TEST(ListParsersTest, ReadWholeEntriesOnlyAndNeverGarbage)
{
    using Parse = QStringList (*)(const QString &);
    const Parse lines = &HomePageWalk::splitHomePageLines;
    const struct {
        const char *what;
        Parse parse;
        const char *text;
        QStringList entries;
    } cases[] = {
        {"sites", sites, "Alpha<http://a/>Beta<http://b/>", {"Alpha<http://a/>", "Beta<http://b/>"}},
        {"a line break belongs to the next name", sites, "Alpha<A>\r\nBeta<B>\r\n", {"Alpha<A>", "\r\nBeta<B>"}},
        {"empty site list", sites, "", {}},
        {"no brackets", sites, "no brackets at all", {}},
        {"a lone bracket", sites, "<", {}},
        {"brackets only", sites, ">>>><<<<", {}},
        {"a missing closing bracket ends the list", sites, "Alpha<A>Beta<http://b/ and more", {"Alpha<A>"}},
        {"cut by the read size", sites, "Alpha<A>Beta<htt", {"Alpha<A>"}},
        {"a tail of four characters is not read", sites, "Alpha<A>B<C>", {"Alpha<A>"}},
        {"a tail of five is", sites, "Alpha<A>Bb<C>", {"Alpha<A>", "Bb<C>"}},
        {"accounts", accounts, "demo<http://s/><http://c/><http://t/>x2<S2><C2><T2>",
         {"demo<http://s/><http://c/><http://t/>", "x2<S2><C2><T2>"}},
        {"text between accounts belongs to the next password", accounts, "a<s><c><t>\r\nb<s><c><t>",
         {"a<s><c><t>", "\r\nb<s><c><t>"}},
        {"empty account list", accounts, "", {}},
        {"a password alone", accounts, "demo", {}},
        {"an account without start page", accounts, "demo<s><c>", {}},
        {"a cut last account", accounts, "demo<s><c><t>next<s><c><t", {"demo<s><c><t>"}},
        {"home pages", lines, "A\r\nB\r\n", {"A", "B"}},
        {"a home page without CR LF", lines, "A\r\nB", {"A"}},
        {"no home pages", lines, "", {}},
        {"no line end", lines, "no line end", {}},
        {"an empty line", lines, "\r\n", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.parse(QString::fromLatin1(c.text)), c.entries);
    }
}

// The fuzzers' starting and finding corpus, replayed on every run so that a
// crash found once stays fixed.
TEST(ListParsersTest, EveryCorpusFileParsesWithinItsBounds)
{
    int files = 0;
    for (const char *target : {"sitelist", "accountlist"}) {
        const QDir dir(QStringLiteral(QUORVANE_SOURCE_DIR "/fuzz/corpus/") + QLatin1String(target));
        for (const QString &name : dir.entryList(QDir::Files)) {
            const QString text = QString::fromUtf8(quorvane::testing::readBytes(dir.filePath(name)));
            const QStringList entries = qstrcmp(target, "sitelist") == 0 ? sites(text) : accounts(text);
            EXPECT_LE(entries.join(QString()).size(), text.size()) << name.toStdString();
            ++files;
        }
    }
    EXPECT_GT(files, 0);
}
