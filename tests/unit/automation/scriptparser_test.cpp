#include "automation/scriptparser.h"

#include <gtest/gtest.h>

// Rows name only the fields they set; GCC 12 warns about the others even so.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace quorvane;
using Kind = ScriptCommand::Kind;

namespace {

// A parsed line in one string, its fields or its error, so a row checks all and a mismatch shows all.
std::string describe(const ScriptLine &r)
{
    if (!r.command)
        return r.error.toStdString();
    const ScriptCommand &c = *r.command;
    return QStringLiteral("kind %1 line %2 target [%3] text [%4] number %5 number2 %6 button %7 key %8 error [%9]")
        .arg(int(c.kind)).arg(c.line).arg(c.target, c.text).arg(c.number).arg(c.number2)
        .arg(int(c.button)).arg(int(c.key)).arg(r.error).toStdString();
}

std::string parsed(const char *line, int number = 7)
{
    return describe(parseScriptLine(QString::fromUtf8(line), number));
}

}  // namespace

TEST(ScriptParser, GoodLinesFillTheirFieldsAndLeaveTheRestAtDefaults)
{
    using enum ScriptCommand::Kind;
    constexpr int Timeout = ScriptCommand::DefaultTimeoutMs;
    const struct {
        const char *line;
        ScriptCommand expected;
    } rows[] = {
        // The rest of the line keeps inner blanks and fragments; a comment needs a blank before '#'.
        {"open   http://127.0.0.1:8737/a b.htm#top   # trailing comment",
         {.kind = Open, .text = "http://127.0.0.1:8737/a b.htm#top"}},
        {"  navigate\tWebBrowser5  http://x/a b", {.kind = Navigate, .target = "WebBrowser5", .text = "http://x/a b"}},
        {"type Text1(6)   two  words ", {.kind = Type, .target = "Text1(6)", .text = "two  words"}},
        {"type Combo1", {.kind = Type, .target = "Combo1"}}, {"answer YES", {.kind = Answer, .text = "yes"}},
        {"answer text  hello world", {.kind = Answer, .text = "text:hello world"}},
        {"answer file /tmp/my file.htm", {.kind = Answer, .text = "file:/tmp/my file.htm"}},
        {"page-hover WebBrowser1 a[href$='b.htm'] > img",
         {.kind = PageHover, .target = "WebBrowser1", .text = "a[href$='b.htm'] > img"}},
        {"page-click WebBrowser5 a[t='x y']", {.kind = PageClick, .target = "WebBrowser5", .text = "a[t='x y']"}},
        {"page-dblclick WebBrowser5 img#pic", {.kind = PageDoubleClick, .target = "WebBrowser5", .text = "img#pic"}},
        {"page-out WebBrowser1", {.kind = PageOut, .target = "WebBrowser1"}},
        // A hidden view can be waited for; a timeout left out is the default.
        {"wait-load WebBrowser1", {.kind = WaitLoad, .target = "WebBrowser1", .number = Timeout}},
        {"wait-load WebBrowser4 500", {.kind = WaitLoad, .target = "WebBrowser4", .number = 500}},
        {"wait-idle", {.kind = WaitIdle, .number = Timeout}}, {"wait-idle 0", {.kind = WaitIdle, .number = 0}},
        {"wait-document WebBrowser1 900", {.kind = WaitDocument, .target = "WebBrowser1", .number = 900}},
        {"wait-message", {.kind = WaitMessage, .number = Timeout}}, {"mark found", {.kind = Mark, .text = "found"}},
        {"wait 250", {.kind = Wait, .number = 250}}, {"menu getlinks", {.kind = Menu, .target = "getlinks"}},
        {"menu pubch(12)", {.kind = Menu, .target = "pubch", .number = 12}},
        // Mouse buttons and keys in any case.
        {"press P", {.kind = Press, .target = "P"}}, {"hover P", {.kind = Hover, .target = "P"}},
        {"press P Right", {.kind = Press, .target = "P", .button = MouseButton::Right}},
        {"press-double P middle", {.kind = PressDouble, .target = "P", .button = MouseButton::Middle}},
        {"key Combo1 DELETE", {.kind = KeyPress, .target = "Combo1", .key = Key::Delete}},
        {"key Combo2 Enter", {.kind = KeyPress, .target = "Combo2", .key = Key::Enter}},
        {"hover-background", {.kind = HoverBackground}}, {"click L", {.kind = Click, .target = "L"}},
        {"dblclick L 0", {.kind = DoubleClick, .target = "L", .number = 0}},
        {"rightclick L 4", {.kind = RightClick, .target = "L", .number = 4}},
        {"panel-click 1", {.kind = PanelClick, .number = 1}}, {"quit", {.kind = Quit}},
        {"panel-dblclick 8", {.kind = PanelDoubleClick, .number = 8}},
        {"resize 800 600", {.kind = Resize, .number = 800, .number2 = 600}},
        {"resize-client 7650 4650", {.kind = ResizeClient, .number = 7650, .number2 = 4650}},
        {"dump", {.kind = Dump}}, {"dump /tmp/out.json", {.kind = Dump, .text = "/tmp/out.json"}},
        {"screenshot shot.png", {.kind = Screenshot, .text = "shot.png"}},
        {"screenshot-window Menu.nav go.png", {.kind = ScreenshotWindow, .target = "Menu.nav", .text = "go.png"}},
    };
    for (auto [line, expected] : rows) {
        expected.line = 7;
        EXPECT_EQ(parsed(line), describe({expected, {}})) << line;
    }
}

TEST(ScriptParser, OtherLinesGiveTheirMessageOrNothing)
{
    const struct {
        const char *line;
        const char *error;
    } rows[] = {
        {"", ""}, {"   \t", ""}, {"# a comment", ""}, {"   # indented comment", ""},
        {"frobnicate", "unknown command \"frobnicate\""}, {"Open http://x", "unknown command \"Open\""},
        {"open # only a comment", "usage: open URL"}, {"navigate WebBrowser1", "usage: navigate VIEW URL"},
        {"navigate WebBrowser3 http://x", "unknown view \"WebBrowser3\""},
        // The count of words is checked before the words themselves.
        {"wait-load", "usage: wait-load VIEW [MS]"}, {"wait-load WebBrowser3 500 1", "usage: wait-load VIEW [MS]"},
        {"wait-load WebBrowser3 soon", "unknown view \"WebBrowser3\""},
        {"wait-load WebBrowser1 soon", "bad timeout \"soon\""}, {"wait-idle 1 2", "usage: wait-idle [MS]"},
        {"wait-idle -5", "bad timeout \"-5\""}, {"wait-document WebBrowser3", "unknown view \"WebBrowser3\""},
        {"wait-message soon", "bad timeout \"soon\""}, {"mark", "usage: mark NAME"}, {"mark a b", "usage: mark NAME"}, {"wait", "usage: wait MS"}, {"wait 1e3", "bad duration \"1e3\""},
        {"menu a b", "usage: menu NAME or NAME(INDEX)"}, {"menu pubch()", "bad menu entry \"pubch()\""},
        {"menu p(-1)", "bad menu entry \"p(-1)\""}, {"menu p(1", "bad menu entry \"p(1\""},
        {"menu (1)", "bad menu entry \"(1)\""}, {"press", "usage: press CONTROL [left|right|middle]"},
        {"press-double P left extra", "usage: press-double CONTROL [left|right|middle]"},
        {"press P side", "unknown mouse button \"side\""}, {"hover", "usage: hover CONTROL"},
        {"hover-background x", "hover-background takes no arguments"}, {"quit now", "quit takes no arguments"},
        {"click", "usage: click CONTROL [INDEX]"}, {"dblclick List3 1 2", "usage: dblclick CONTROL [INDEX]"},
        {"rightclick List3 -1", "bad index \"-1\""}, {"type", "usage: type CONTROL TEXT"},
        {"key Combo1", "usage: key CONTROL Enter|Delete"}, {"key Combo1 Escape", "unknown key \"Escape\""},
        {"panel-click", "usage: panel-click N"}, {"panel-click 0", "bad panel \"0\" (1 to 8)"},
        {"panel-dblclick 9", "bad panel \"9\" (1 to 8)"}, {"resize 800", "usage: resize W H"},
        {"resize 0 600", "bad size \"0 600\""}, {"resize-client 800 x", "bad size \"800 x\""},
        {"answer", "usage: answer yes|no|ok|cancel|text TEXT|file PATH"},
        {"answer yes please", "usage: answer yes|no|ok|cancel|text TEXT|file PATH"},
        {"answer file", "usage: answer file PATH"}, {"answer Maybe", "unknown answer \"Maybe\""},
        {"dump a b", "usage: dump [FILE]"}, {"screenshot", "usage: screenshot FILE"},
        {"screenshot-window Preferences", "usage: screenshot-window Preferences|Partners|Menu.NAME FILE"},
        {"page-click WebBrowser1", "usage: page-click VIEW SELECTOR"},
        {"page-out WebBrowser1 x", "usage: page-out VIEW"},
        {"page-hover WebBrowser4 a", "not a shown view \"WebBrowser4\""},
        {"page-dblclick Combo1 a", "not a shown view \"Combo1\""},
    };
    for (const auto &[line, error] : rows)
        EXPECT_EQ(parsed(line), error) << line;
}

TEST(ScriptParser, WholeScriptStopsAtTheFirstBadLineWithItsNumber)
{
    QVector<ScriptCommand> commands;
    QString error;
    EXPECT_TRUE(parseScript(QStringLiteral("# start\r\nwait 1\r\n\r\nquit\r\n"), &commands, &error));
    ASSERT_EQ(commands.size(), 2);
    EXPECT_EQ(describe({commands.at(0), {}}), parsed("wait 1", 2));
    EXPECT_EQ(describe({commands.at(1), {}}), parsed("quit", 4));

    commands.clear();
    EXPECT_FALSE(parseScript(QStringLiteral("wait 1\nwait 2\nbogus x\nquit\n"), &commands, &error));
    EXPECT_EQ(error, QStringLiteral("script:3: unknown command \"bogus\""));
    EXPECT_EQ(commands.size(), 2);
}
