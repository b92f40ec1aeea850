#include "partners/partnersoptions.h"

#include <gtest/gtest.h>

#include <set>

namespace quorvane {
namespace {

TEST(PartnersOptions, CommandLines)
{
    using Command = PartnersOptions::Command;
    using Only = PartnersOptions::Only;
    const struct {
        QStringList arguments;
        Command command = Command::Check;
        Only only = Only::All;
        int shard = 0;
        int shards = 1;
    } accepted[] = {
        {{"check"}},
        {{"check", "--only", "lost"}, Command::Check, Only::Lost},
        {{"check", "--only=due", "--shard", "2/3", "--csv", "out.csv"}, Command::Check, Only::Due, 2, 3},
        {{"check", "--shard=0/1"}},
        {{"check", "--hidden-engine", "webengine"}},
        {{"import", "a.csv", "--results"}, Command::Import},
        {{"export", "a.csv", "--program-folder", "/tmp/x"}, Command::Export},
        {{"sites", "a.example", "b.example"}, Command::Sites},
    };
    for (const auto &c : accepted) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QString error;
        const auto options = parsePartnersOptions(c.arguments, &error);
        ASSERT_TRUE(options.has_value()) << error.toStdString();
        EXPECT_EQ(options->command, c.command);
        EXPECT_EQ(options->only, c.only);
        EXPECT_EQ(options->shard, c.shard);
        EXPECT_EQ(options->shards, c.shards);
    }
    const QStringList refused[] = {
        {}, {"frobnicate"}, {"check", "--shard", "3/3"}, {"check", "--shard", "-1/3"}, {"check", "--shard", "1/0"},
        {"check", "--shard", "a/b"}, {"check", "--only", "everything"}, {"check", "--only", "lost", "--only", "due"},
        {"check", "--csv"}, {"check", "--timeout", "0"}, {"check", "stray"}, {"check", "--hidden-engine", "gecko"},
        {"export", "a.csv", "--hidden-engine=text"}, {"import"}, {"import", "a.csv", "b.csv"},
        {"export", "a.csv", "--results"}, {"import", "a.csv", "--shard", "0/2"},
    };
    for (const QStringList &arguments : refused) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        QString error;
        EXPECT_FALSE(parsePartnersOptions(arguments, &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
}

// Shards are disjoint, cover every page, stay fixed across runs and spread.
TEST(PartnersOptions, ShardsSplitTheList)
{
    constexpr int Shards = 4;
    int counts[Shards] = {};
    for (int k = 0; k < 1000; ++k) {
        const QString page = QStringLiteral("http://site%1.example/links.htm").arg(k);
        const int shard = shardOf(page, Shards);
        ASSERT_GE(shard, 0);
        ASSERT_LT(shard, Shards);
        ++counts[shard];
    }
    for (const int count : counts)
        EXPECT_GT(count, 150);
    // Pinned: another machine or a later build must put a page in the same slice.
    EXPECT_EQ(shardOf(QStringLiteral("http://a.example/"), 7), shardOf(QStringLiteral(" http://a.example/ "), 7));
    EXPECT_EQ(shardOf(QStringLiteral("http://a.example/"), 7), 1);
    EXPECT_EQ(shardOf(QStringLiteral("http://a.example/"), 1000), 251);
    EXPECT_EQ(shardOf(QStringLiteral("http://a.example/"), 1), 0);
}

}  // namespace
}  // namespace quorvane
