#pragma once

#include "core/input.h"

#include <QString>
#include <QVector>

#include <optional>

namespace quorvane {

// One line of an automation script, checked and typed. Which fields a kind
// uses is listed next to it; the others keep their defaults.
struct ScriptCommand {
    enum class Kind {
        Open,             // text: URL
        Navigate,         // target: view, text: URL
        WaitLoad,         // target: view, number: timeout ms
        WaitIdle,         // number: timeout ms
        Wait,             // number: ms
        Menu,             // target: menu name, number: array index or -1
        Press,            // target: control, button
        PressDouble,      // target: control, button
        Hover,            // target: control
        HoverBackground,
        Click,            // target: control, number: index or -1
        DoubleClick,      // target: control, number: index or -1
        RightClick,       // target: control, number: index or -1
        Type,             // target: control, text
        KeyPress,         // target: control, key
        PanelClick,       // number: panel
        PanelDoubleClick, // number: panel
        Resize,           // number: width, number2: height
        ResizeClient,     // number: width, number2: height, in twips
        Answer,           // text: the queued answer ("yes", "text:...", "file:...")
        Dump,             // text: file, empty for standard output
        Screenshot,       // text: file
        PageHover,        // target: WebBrowser1 or WebBrowser5, text: CSS selector
        PageOut,          // target: WebBrowser1 or WebBrowser5
        PageDoubleClick,  // target: WebBrowser1 or WebBrowser5, text: CSS selector
        PageClick,        // target: WebBrowser1 or WebBrowser5, text: CSS selector
        WaitDocument,     // target: view, number: timeout ms
        WaitMessage,      // number: timeout ms
        Mark,             // text: name
        Partners,         // target: action, text: its arguments (see partnersscript.h)
        Export,           // target: export kind (links, found, ...), text: file
        Keys,             // text: one key chord, e.g. Alt+Left
        ScreenshotWindow, // target: a window other than the main one (Preferences), text: file
        Quit,
    };

    static constexpr int DefaultTimeoutMs = 30000;

    Kind kind = Kind::Quit;
    int line = 0;
    QString target;
    QString text;
    int number = -1;
    int number2 = -1;
    MouseButton button = MouseButton::Left;
    Key key = Key::Enter;
};

// The outcome of parsing one line: a command, nothing (blank or comment), or an error.
struct ScriptLine {
    std::optional<ScriptCommand> command;
    QString error;  // without the "script:LINE: " prefix
};

// Words are separated by whitespace; the last argument of open, navigate,
// type, the page-* commands and "answer text" takes the rest of the line. A
// '#' at the start of a line or after whitespace starts a comment, so URLs
// keep their fragments.
ScriptLine parseScriptLine(const QString &line, int lineNumber);

// Parses a whole script. On the first bad line returns false with error
// "script:LINE: message"; commands then holds the lines before it.
bool parseScript(const QString &text, QVector<ScriptCommand> *commands, QString *error);

}  // namespace quorvane
