// The script commands that raise mouse events inside a shown page.
#include "automation/scriptparser.h"

#include <gtest/gtest.h>

using namespace quorvane;
using Kind = ScriptCommand::Kind;

TEST(PageMouseScript, SelectorTakesTheRestOfTheLineAndOnlyShownViewsAreAccepted)
{
    const ScriptLine hover = parseScriptLine(QStringLiteral("page-hover WebBrowser1 a[href$='b.htm'] > img"), 3);
    ASSERT_TRUE(hover.command.has_value()) << hover.error.toStdString();
    EXPECT_EQ(hover.command->kind, Kind::PageHover);
    EXPECT_EQ(hover.command->target, QStringLiteral("WebBrowser1"));
    EXPECT_EQ(hover.command->text, QStringLiteral("a[href$='b.htm'] > img"));

    const ScriptLine dbl = parseScriptLine(QStringLiteral("page-dblclick WebBrowser5 img#pic"), 4);
    ASSERT_TRUE(dbl.command.has_value());
    EXPECT_EQ(dbl.command->kind, Kind::PageDoubleClick);
    EXPECT_EQ(dbl.command->text, QStringLiteral("img#pic"));

    const ScriptLine out = parseScriptLine(QStringLiteral("page-out WebBrowser1"), 5);
    ASSERT_TRUE(out.command.has_value());
    EXPECT_EQ(out.command->kind, Kind::PageOut);

    for (const char *bad : {"page-hover WebBrowser1", "page-dblclick", "page-out WebBrowser1 extra",
                            "page-hover WebBrowser4 a", "page-dblclick Combo1 a"}) {
        const ScriptLine r = parseScriptLine(QString::fromLatin1(bad), 1);
        EXPECT_FALSE(r.command.has_value()) << bad;
        EXPECT_FALSE(r.error.isEmpty()) << bad;
    }
}
