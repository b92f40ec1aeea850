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

// The snapshot's fields as the page script writes them: length, colon, text.
QString fields(const QStringList &values)
{
    QString text;
    for (const QString &value : values)
        text += QString::number(value.size()) + QLatin1Char(':') + value;
    return text;
}

QString snapshotText(const QString &path, const QStringList &rest)
{
    return fields(QStringList{QStringLiteral("quorvane-snapshot/2"), path} + rest);
}

TEST(FrameSnapshot, ParsesFieldsAndRejectsMalformedPageData)
{
    // Texts hold any character, colons and digits included.
    const QString odd = QStringLiteral("3:x\"\u00e9\U0001F600\n{]");
    const QString text = snapshotText(QStringLiteral("0,2"),
        {QStringLiteral("u"), QStringLiteral("t"), QStringLiteral("d"), QStringLiteral("BODY"), QStringLiteral("1"),
         QStringLiteral("2"), QStringLiteral("h"), odd, QString(), QString(),
         QStringLiteral("h2"), QString(), QStringLiteral("nofollow"), QStringLiteral("Logo"),
         QStringLiteral("1"), QStringLiteral("i"),
         QStringLiteral("4"), QStringLiteral("META"), QStringLiteral("E5"), QString(), QString(), QString(),
         QStringLiteral("n"), QStringLiteral("c"),
         QStringLiteral("A"), QStringLiteral("L1"), QStringLiteral("B"), QStringLiteral("E0"),
         QStringLiteral("IMG"), QStringLiteral("E3"), QString(), QString(), QStringLiteral("s")});
    const auto parsed = parseFrameSnapshot(text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->path, std::vector<int>({0, 2}));
    EXPECT_EQ(parsed->frameCount, 1);
    const HtmlDocument &doc = *parsed->document;
    EXPECT_EQ(doc.url, QStringLiteral("u"));
    EXPECT_EQ(doc.title, QStringLiteral("t"));
    EXPECT_EQ(doc.domain, QStringLiteral("d"));
    EXPECT_EQ(doc.bodyTagName, QStringLiteral("BODY"));
    ASSERT_EQ(doc.links.size(), 2);
    EXPECT_EQ(doc.links[0].href, QStringLiteral("h"));
    EXPECT_EQ(doc.links[0].outerText, odd);
    EXPECT_EQ(doc.links[1].rel, QStringLiteral("nofollow"));
    EXPECT_EQ(doc.links[1].imageAlt, QStringLiteral("Logo"));
    EXPECT_EQ(doc.images, QVector<QString>{QStringLiteral("i")});
    ASSERT_EQ(doc.all.size(), 4);
    EXPECT_EQ(doc.all[0].name, QStringLiteral("n"));
    EXPECT_EQ(doc.all[0].content, QStringLiteral("c"));
    // An element that is one of the links takes that link's address and text.
    EXPECT_EQ(doc.all[1].tagName, QStringLiteral("A"));
    EXPECT_EQ(doc.all[1].href, QStringLiteral("h2"));
    EXPECT_TRUE(doc.all[1].outerText.isEmpty());
    EXPECT_EQ(doc.all[2].tagName, QStringLiteral("B"));
    EXPECT_EQ(doc.all[3].src, QStringLiteral("s"));

    const QStringList empty{QString(), QString(), QString(), QString(), QStringLiteral("0"), QStringLiteral("0"),
                            QStringLiteral("0"), QStringLiteral("0")};
    ASSERT_TRUE(parseFrameSnapshot(snapshotText(QString(), empty)).has_value());
    QString deep;
    for (int i = 0; i <= kMaxFrameDepth; ++i)
        deep += QStringLiteral("0,");
    deep += QStringLiteral("0");
    const auto withCounts = [&](const char *links, const char *images, const char *elements, QStringList rows) {
        return snapshotText(QString(), QStringList{QString(), QString(), QString(), QString(), QStringLiteral("0"),
                                                   QLatin1String(links), QLatin1String(images), QLatin1String(elements)}
                                           + rows);
    };
    const struct {
        const char *what;
        QString text;
    } bad[] = {
        {"nothing", QString()},
        {"a JSON snapshot", QStringLiteral(R"({"path":[],"url":"u"})")},
        {"a negative frame index", snapshotText(QStringLiteral("-1"), empty)},
        {"frames too deep", snapshotText(deep, empty)},
        {"a frame index too large", snapshotText(QString::number(kMaxFramesPerDocument), empty)},
        {"a length past the end", snapshotText(QString(), empty).chopped(1)},
        {"a length that is no number", snapshotText(QString(), empty) + QStringLiteral("x:")},
        {"text after the last field", snapshotText(QString(), empty) + QStringLiteral("0:")},
        {"more links than the snapshot holds", withCounts("1", "0", "0", {})},
        {"too many links", withCounts("100001", "0", "0", {})},
        {"an element naming no link", withCounts("0", "0", "1", {QStringLiteral("A"), QStringLiteral("L0")})},
        {"an element with too many values", withCounts("0", "0", "1", {QStringLiteral("P"), QStringLiteral("E6"),
                                                                        QString(), QString(), QString(), QString(),
                                                                        QString(), QString()})},
        {"too long", QString(kMaxSnapshotChars + 1, QLatin1Char('0'))},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.what);
        EXPECT_FALSE(parseFrameSnapshot(b.text).has_value());
    }
}

}  // namespace
}  // namespace quorvane
