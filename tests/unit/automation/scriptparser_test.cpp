#include "automation/scriptparser.h"

#include <gtest/gtest.h>

using namespace quorvane;
using Kind = ScriptCommand::Kind;

namespace {

ScriptCommand parsed(const char *line)
{
    const ScriptLine result = parseScriptLine(QString::fromUtf8(line), 7);
    EXPECT_TRUE(result.error.isEmpty()) << line << ": " << result.error.toStdString();
    EXPECT_TRUE(result.command.has_value()) << line;
    return result.command.value_or(ScriptCommand{});
}

QString errorOf(const char *line)
{
    const ScriptLine result = parseScriptLine(QString::fromUtf8(line), 1);
    EXPECT_FALSE(result.command.has_value()) << line;
    return result.error;
}

}  // namespace

TEST(ScriptParser, BlankAndCommentLinesYieldNothing)
{
    for (const char *line : {"", "   \t", "# a comment", "   # indented comment"}) {
        const ScriptLine r = parseScriptLine(QString::fromLatin1(line), 1);
        EXPECT_FALSE(r.command.has_value()) << line;
        EXPECT_TRUE(r.error.isEmpty()) << line;
    }
}

TEST(ScriptParser, RestOfLineArgumentsKeepInnerSpacesAndFragments)
{
    ScriptCommand c = parsed("open   http://127.0.0.1:8737/a b.htm#top   # trailing comment");
    EXPECT_EQ(c.kind, Kind::Open);
    EXPECT_EQ(c.text, QStringLiteral("http://127.0.0.1:8737/a b.htm#top"));
    EXPECT_EQ(c.line, 7);

    c = parsed("navigate WebBrowser5 http://x/y?q=1 2");
    EXPECT_EQ(c.target, QStringLiteral("WebBrowser5"));
    EXPECT_EQ(c.text, QStringLiteral("http://x/y?q=1 2"));

    c = parsed("type Text1(6)   two  words ");
    EXPECT_EQ(c.kind, Kind::Type);
    EXPECT_EQ(c.target, QStringLiteral("Text1(6)"));
    EXPECT_EQ(c.text, QStringLiteral("two  words"));

    EXPECT_EQ(parsed("type Combo1").text, QString());
    EXPECT_EQ(parsed("answer text  hello world").text, QStringLiteral("text:hello world"));
    EXPECT_EQ(parsed("answer file /tmp/my file.htm").text, QStringLiteral("file:/tmp/my file.htm"));
    EXPECT_EQ(parsed("answer YES").text, QStringLiteral("yes"));
}

TEST(ScriptParser, WaitsTakeDefaultsAndExplicitTimeouts)
{
    ScriptCommand c = parsed("wait-load WebBrowser1");
    EXPECT_EQ(c.kind, Kind::WaitLoad);
    EXPECT_EQ(c.number, ScriptCommand::DefaultTimeoutMs);
    EXPECT_EQ(parsed("wait-load WebBrowser4 500").number, 500);
    EXPECT_EQ(parsed("wait-idle").number, ScriptCommand::DefaultTimeoutMs);
    EXPECT_EQ(parsed("wait-idle 0").number, 0);
    EXPECT_EQ(parsed("wait 250").number, 250);
}

TEST(ScriptParser, MenuEntriesWithAndWithoutIndex)
{
    ScriptCommand c = parsed("menu getlinks");
    EXPECT_EQ(c.target, QStringLiteral("getlinks"));
    EXPECT_EQ(c.number, -1);
    c = parsed("menu pubch(12)");
    EXPECT_EQ(c.target, QStringLiteral("pubch"));
    EXPECT_EQ(c.number, 12);
    for (const char *bad : {"menu pubch()", "menu pubch(x)", "menu pubch(1", "menu (1)", "menu a b", "menu"})
        EXPECT_FALSE(errorOf(bad).isEmpty()) << bad;
}

TEST(ScriptParser, MouseKeysPanelsAndSizes)
{
    EXPECT_EQ(parsed("press Picture2").button, MouseButton::Left);
    EXPECT_EQ(parsed("press Picture2 Right").button, MouseButton::Right);
    EXPECT_EQ(parsed("press Picture2 middle").button, MouseButton::Middle);
    EXPECT_EQ(parsed("click listlinks").number, -1);
    EXPECT_EQ(parsed("rightclick List3 4").number, 4);
    EXPECT_EQ(parsed("dblclick favorit 0").kind, Kind::DoubleClick);
    EXPECT_EQ(parsed("key Combo1 delete").key, Key::Delete);
    EXPECT_EQ(parsed("key Combo2 Enter").key, Key::Enter);
    EXPECT_EQ(parsed("panel-dblclick 8").number, 8);
    const ScriptCommand page = parsed("page-click WebBrowser5 a[title='two words']");
    EXPECT_EQ(page.kind, Kind::PageClick);
    EXPECT_EQ(page.target, QStringLiteral("WebBrowser5"));
    EXPECT_EQ(page.text, QStringLiteral("a[title='two words']"));
    const ScriptCommand r = parsed("resize 800 600");
    EXPECT_EQ(r.number, 800);
    EXPECT_EQ(r.number2, 600);
    EXPECT_EQ(parsed("dump").text, QString());
    EXPECT_EQ(parsed("dump /tmp/out.json").text, QStringLiteral("/tmp/out.json"));
}

TEST(ScriptParser, BadArgumentsAreRejectedWithAMessage)
{
    for (const char *bad : {"frobnicate", "Open http://x", "open", "navigate WebBrowser3 http://x",
                            "navigate WebBrowser1", "wait-load", "wait-load WebBrowser1 soon",
                            "wait-idle -5", "wait", "press", "press Picture2 left extra", "press Picture2 side",
                            "click", "click List3 -1", "key Combo1", "key Combo1 Escape", "panel-click 0",
                            "panel-click 9", "resize 800", "resize 0 600", "answer maybe", "answer yes please",
                            "answer file", "screenshot", "dump a b", "quit now", "hover-background x", "hover",
                            "page-click WebBrowser1", "page-click WebBrowser2 a"}) {
        EXPECT_FALSE(errorOf(bad).isEmpty()) << bad;
    }
}

TEST(ScriptParser, WholeScriptStopsAtTheFirstBadLineWithItsNumber)
{
    QVector<ScriptCommand> commands;
    QString error;
    EXPECT_TRUE(parseScript(QStringLiteral("# start\r\nwait 1\r\n\r\nquit\r\n"), &commands, &error));
    ASSERT_EQ(commands.size(), 2);
    EXPECT_EQ(commands.at(0).line, 2);
    EXPECT_EQ(commands.at(1).kind, Kind::Quit);
    EXPECT_EQ(commands.at(1).line, 4);

    commands.clear();
    EXPECT_FALSE(parseScript(QStringLiteral("wait 1\nwait 2\nbogus x\nquit\n"), &commands, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("script:3: "))) << error.toStdString();
    EXPECT_EQ(commands.size(), 2);
}
