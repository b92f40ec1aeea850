#include "partners/partnersoptions.h"

#include <gtest/gtest.h>

#include <set>

namespace quorvane {
namespace {

TEST(PartnersOptions, CommandLines)
{
    using Command = PartnersOptions::Command;
    using Only = PartnersOptions::Only;
    struct Case {
        QStringList arguments;
        bool ok;
        Command command = Command::Check;
        Only only = Only::All;
        int shard = 0;
        int shards = 1;
    };
    const Case cases[] = {
        {{"check"}, true},
        {{"check", "--only", "lost"}, true, Command::Check, Only::Lost},
        {{"check", "--only=due", "--shard", "2/3", "--csv", "out.csv"}, true, Command::Check, Only::Due, 2, 3},
        {{"check", "--shard=0/1"}, true},
        {{"check", "--hidden-engine", "webengine"}, true},
        {{"import", "a.csv", "--results"}, true, Command::Import},
        {{"export", "a.csv", "--program-folder", "/tmp/x"}, true, Command::Export},
        {{"sites", "a.example", "b.example"}, true, Command::Sites},
        {{}, false},
        {{"frobnicate"}, false},
        {{"check", "--shard", "3/3"}, false},
        {{"check", "--shard", "-1/3"}, false},
        {{"check", "--shard", "1/0"}, false},
        {{"check", "--shard", "a/b"}, false},
        {{"check", "--only", "everything"}, false},
        {{"check", "--only", "lost", "--only", "due"}, false},
        {{"check", "--csv"}, false},
        {{"check", "--timeout", "0"}, false},
        {{"check", "stray"}, false},
        {{"check", "--hidden-engine", "gecko"}, false},
        {{"export", "a.csv", "--hidden-engine=text"}, false},
        {{"import"}, false},
        {{"import", "a.csv", "b.csv"}, false},
        {{"export", "a.csv", "--results"}, false},
        {{"import", "a.csv", "--shard", "0/2"}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QString error;
        const auto options = parsePartnersOptions(c.arguments, &error);
        ASSERT_EQ(options.has_value(), c.ok) << error.toStdString();
        if (!options) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        EXPECT_EQ(options->command, c.command);
        EXPECT_EQ(options->only, c.only);
        EXPECT_EQ(options->shard, c.shard);
        EXPECT_EQ(options->shards, c.shards);
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
