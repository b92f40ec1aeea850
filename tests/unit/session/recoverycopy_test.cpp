#include "support/testfiles.h"
#include "core/config.h"
#include "core/savekeeper.h"
#include "core/windowstate.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorvane;
using quorvane::testing::readBytes;

namespace {

// A program folder where lb.prv cannot be written (a folder is in the way),
// and a state folder for the copies.
struct BlockedFolder {
    BlockedFolder()
    {
        config.programFolder = program.path();
        config.stateFolder = state.path();
        QDir(program.path()).mkdir(QStringLiteral("lb.prv"));
    }
    QString file() const { return QDir(program.path()).filePath(QStringLiteral("lb.prv")); }
    QString copy(const QString &name) const { return QDir(recoveryFolder(config)).filePath(name); }

    QTemporaryDir program;
    QTemporaryDir state;
    Config config;
};

}  // namespace

// Each run of the program has a state of its own: a second run the same day
// must not overwrite what the first one could not save.
TEST(RecoveryCopies, AFailingRunKeepsTheCopiesOfEarlierRunsOfTheDay)
{
    const struct {
        const char *what;
        QList<QList<QByteArray>> runs;  // the saves of each run, in order
        QMap<QString, QByteArray> copies;
    } cases[] = {
        {"one run saving twice keeps its newest data in one copy",
         {{"\"a\r\n\"\r\n", "\"a\r\nb\r\n\"\r\n"}},
         {{"lb.prv", "\"a\r\nb\r\n\"\r\n"}, {"lb-2.prv", "<missing>"}}},
        {"a second run gets a numbered copy",
         {{"\"a\r\n\"\r\n"}, {"\"c\r\n\"\r\n"}},
         {{"lb.prv", "\"a\r\n\"\r\n"}, {"lb-2.prv", "\"c\r\n\"\r\n"}}},
        {"a third run too, and its later save stays in its own copy",
         {{"\"a\r\n\"\r\n"}, {"\"c\r\n\"\r\n"}, {"\"d\r\n\"\r\n", "\"d\r\ne\r\n\"\r\n"}},
         {{"lb.prv", "\"a\r\n\"\r\n"}, {"lb-2.prv", "\"c\r\n\"\r\n"}, {"lb-3.prv", "\"d\r\ne\r\n\"\r\n"}}},
        {"a second run with the same bytes needs no second copy",
         {{"\"a\r\n\"\r\n"}, {"\"a\r\n\"\r\n"}},
         {{"lb.prv", "\"a\r\n\"\r\n"}, {"lb-2.prv", "<missing>"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        BlockedFolder folder;
        QString lastCopy;
        for (const QList<QByteArray> &saves : c.runs) {
            WindowState run;
            for (const QByteArray &data : saves) {
                EXPECT_FALSE(keepFile(run, folder.config, folder.file(), data));
                ASSERT_EQ(run.saveFailures().size(), 1);
                lastCopy = run.saveFailures().first().copy;
                EXPECT_EQ(readBytes(lastCopy), data);
            }
        }
        for (auto it = c.copies.cbegin(); it != c.copies.cend(); ++it)
            EXPECT_EQ(readBytes(folder.copy(it.key())), it.value()) << it.key().toStdString();
    }
}
