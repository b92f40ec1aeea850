#include "host/webengine/documenttree.h"
#include "host/webengine/framesnapshot.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

FrameSnapshot frame(std::vector<int> path, const QString &url, int frameCount = 0)
{
    auto doc = std::make_shared<HtmlDocument>();
    doc->url = url;
    return FrameSnapshot{std::move(path), std::move(doc), frameCount};
}

TEST(DocumentTree, AssemblesFramesByPathWhateverTheOrderTheyReportIn)
{
    DocumentTree tree;
    EXPECT_TRUE(tree.add(frame({1, 0}, QStringLiteral("deep"))));
    EXPECT_TRUE(tree.add(frame({1}, QStringLiteral("second"), 2)));
    EXPECT_FALSE(tree.hasTop());
    EXPECT_EQ(tree.build(), nullptr);

    EXPECT_TRUE(tree.add(frame({}, QStringLiteral("top"), 3)));
    EXPECT_TRUE(tree.add(frame({5}, QStringLiteral("beyond the frame count"))));
    const DocumentPtr top = tree.build();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->url, QStringLiteral("top"));
    ASSERT_EQ(top->frames.size(), 3);
    EXPECT_EQ(top->frames[0], nullptr);  // not reported (yet)
    ASSERT_NE(top->frames[1], nullptr);
    EXPECT_EQ(top->frames[1]->url, QStringLiteral("second"));
    EXPECT_EQ(top->frames[2], nullptr);
    ASSERT_EQ(top->frames[1]->frames.size(), 2);
    ASSERT_NE(top->frames[1]->frames[0], nullptr);
    EXPECT_EQ(top->frames[1]->frames[0]->url, QStringLiteral("deep"));
    EXPECT_EQ(top->frames[1]->frames[1], nullptr);
}

TEST(FrameSnapshot, ParsesRowsAndRejectsMalformedPageData)
{
    const auto parsed = parseFrameSnapshot(QStringLiteral(
        R"({"path":[0,2],"url":"u","title":"t","domain":"d","body":"BODY","frames":1,)"
        R"("links":[["h","x"],["only-href"],7],"images":["i"],)"
        R"("all":[["META","","","","n","c"],["A","x","h"],["B"],["A",0],["A",2],["A",3],["A",-1],["A",0.5],["A",1,"z"]]})"));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->path, std::vector<int>({0, 2}));
    EXPECT_EQ(parsed->frameCount, 1);
    const HtmlDocument &doc = *parsed->document;
    EXPECT_EQ(doc.bodyTagName, QStringLiteral("BODY"));
    ASSERT_EQ(doc.links.size(), 3);  // malformed rows become empty links rather than shifting others
    EXPECT_EQ(doc.links[0].outerText, QStringLiteral("x"));
    EXPECT_EQ(doc.links[1].href, QStringLiteral("only-href"));
    EXPECT_TRUE(doc.links[1].outerText.isEmpty());
    ASSERT_EQ(doc.all.size(), 9);
    EXPECT_EQ(doc.all[0].name, QStringLiteral("n"));
    EXPECT_EQ(doc.all[0].content, QStringLiteral("c"));
    EXPECT_EQ(doc.all[1].href, QStringLiteral("h"));
    EXPECT_TRUE(doc.all[2].outerText.isEmpty());
    // A row naming a link by index takes that link's text and address; an
    // index that names no link leaves the element without them.
    const struct {
        qsizetype row;
        const char *href;
        const char *text;
    } byIndex[] = {{3, "h", "x"}, {4, "", ""}, {5, "", ""}, {6, "", ""}, {7, "", ""}, {8, "z", ""}};
    for (const auto &r : byIndex) {
        SCOPED_TRACE(r.row);
        EXPECT_EQ(doc.all[r.row].tagName, QStringLiteral("A"));
        EXPECT_EQ(doc.all[r.row].href, QLatin1String(r.href));
        EXPECT_EQ(doc.all[r.row].outerText, QLatin1String(r.text));
    }

    for (const char *bad : {"", "[]", "{\"path\":\"0\"}", "{\"path\":[-1]}", "{\"path\":[1.5]}", "{\"path\":[0],",
                            "{\"url\":\"no path\"}"}) {
        EXPECT_FALSE(parseFrameSnapshot(QString::fromLatin1(bad)).has_value()) << bad;
    }
    QString deep = QStringLiteral("{\"path\":[");
    for (int i = 0; i <= kMaxFrameDepth; ++i)
        deep += QStringLiteral("0,");
    deep += QStringLiteral("0]}");
    EXPECT_FALSE(parseFrameSnapshot(deep).has_value());
    EXPECT_FALSE(parseFrameSnapshot(QString(kMaxSnapshotChars + 1, QLatin1Char(' '))).has_value());
}

}  // namespace
}  // namespace quorvane
