#include "statelog.h"

#include "support/testfiles.h"

#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "testserver/hostilepages.h"
#include "testserver/loopbackserver.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zlib.h>

#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace quorvane {
namespace {

// The body of one GET, or "error".
QString fetch(CurlMulti &multi, const std::string &url)
{
    CurlTransfer transfer(QStringLiteral("Inet1"), multi);
    StateLog log(transfer);
    transfer.execute(QString::fromStdString(url), INT_MAX);
    return log.wait() == TransferState::Complete ? transfer.readData(INT_MAX) : QStringLiteral("error");
}

// Every source of the one server at once: which answers a path, and what it
// makes of the bundled site's {{HOST}} placeholder.
TEST(LoopbackServer, ServesPagesTheFolderAndTheRoutesFirstMatchFirst)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    for (const auto &[name, bytes] : {std::pair{"list.txt", "a {{HOST}} b {{HOST}}"},
                                      {"page.htm", "<a href=\"http://{{HOST}}/x\">"},
                                      {"code.js", "'{{HOST}}'"},
                                      {"shadowed.html", "from the folder"}})
        testing::writeBytes(root.filePath(QString::fromLatin1(name)), bytes);
    int made = 0;
    LoopbackServer::Options options;
    options.staticRoot = root.path().toStdString();
    options.pages = {{"/made.html", [&made] { return "made " + std::to_string(++made); }},
                     {"/shadowed.html", [] { return std::string("from the page"); }}};
    LoopbackServer server(options);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    CurlMulti multi;

    const struct {
        const char *path;
        QString body;
    } cases[] = {
        {"/list.txt", QStringLiteral("a %1 b %1").arg(host)},
        {"/page.htm", QStringLiteral("<a href=\"http://%1/x\">").arg(host)},
        {"/code.js", QStringLiteral("'{{HOST}}'")},
        {"/shadowed.html", QStringLiteral("from the page")},
        {"/made.html", QStringLiteral("made 1")},
        {"/made.html", QStringLiteral("made 2")},
        {"/fault/chain?n=1", QStringLiteral("end of chain")},
        {"/gen/scripted.htm", QStringLiteral("<html><head><title>Scripted</title>")},
        {"/missing.html", QStringLiteral("error")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_TRUE(fetch(multi, server.url(c.path)).startsWith(c.body));
    }
}

// A broken bomb would fail a client's load at once, and a test of its bound
// would pass without the bound ever being reached.
TEST(LoopbackServer, TheGzipBombIsSmallAndInflatesWholeToItsFullSize)
{
    using namespace hostilepages;
    const std::string &bomb = gzipBomb();
    EXPECT_LT(bomb.size(), 2u * 1024 * 1024);

    z_stream stream{};
    ASSERT_EQ(inflateInit2(&stream, 16 + MAX_WBITS), Z_OK);  // gzip: the check value is verified too
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bomb.data()));
    stream.avail_in = uInt(bomb.size());
    std::string out(1024 * 1024, '\0');
    std::string start;
    unsigned long long inflated = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = uInt(out.size());
        result = inflate(&stream, Z_NO_FLUSH);
        const size_t produced = out.size() - stream.avail_out;
        if (start.empty())
            start = out.substr(0, std::min<size_t>(produced, 64));
        inflated += produced;
    }
    inflateEnd(&stream);
    EXPECT_EQ(result, Z_STREAM_END);
    EXPECT_EQ(stream.avail_in, 0u);
    EXPECT_EQ(inflated, std::strlen(BombHead) + ChunkBytes * ChunksInBomb);
    EXPECT_EQ(start.rfind(std::string(BombHead) + "<p>aaaa", 0), 0u) << start;
}

TEST(LoopbackServer, RefusesWhatItCannotServe)
{
    LoopbackServer::Options remote;
    remote.host = "0.0.0.0";
    EXPECT_THROW(LoopbackServer{remote}, std::runtime_error);
    EXPECT_THROW(LoopbackServer{std::string("/no/such/folder")}, std::runtime_error);

    LoopbackServer taken;
    LoopbackServer::Options samePort;
    samePort.port = taken.port();
    EXPECT_THROW(LoopbackServer{samePort}, std::runtime_error);
}

}  // namespace
}  // namespace quorvane
