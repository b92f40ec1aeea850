#include "scriptparser.h"

#include "partnersscript.h"

#include "core/windowstate.h"
#include "host/controls.h"

#include <QStringList>

#include <array>
#include <climits>
#include <utility>

namespace quorvane {

namespace {

using Kind = ScriptCommand::Kind;

// What one argument looks like and which fields of the command it fills.
enum class Shape {
    None,       // pads a signature with fewer arguments
    View,       // target: a browser's control name
    ShownView,  // target: WebBrowser1 or WebBrowser5
    Control,    // target: any word; the window checks it when the command runs
    MenuEntry,  // target, number: NAME or NAME(INDEX)
    Button,     // button: left, right or middle
    Key,        // key: enter or delete
    Integer,    // number
    Size,       // number, number2: two words
    Word,       // text: one word
    Text,       // text: the rest of the line
    Answer,     // text: the rest of the line, as yes|no|ok|cancel|text TEXT|file PATH
};

struct Arg {
    Shape shape = Shape::None;
    bool optional = false;
    // Integer and Size: the range (a bounded one is named in errors), the
    // value when left out, and the word naming it in errors.
    int min = 0;
    int max = INT_MAX;
    int fallback = -1;
    const char *what = "";
};

struct Signature {
    const char *name;
    Kind kind;
    std::array<Arg, 2> args;  // optional words only after the required ones; Text and Answer last
    const char *usage;        // empty when the command takes no arguments
};

constexpr Arg view{Shape::View};
constexpr Arg shownView{Shape::ShownView};
constexpr Arg control{Shape::Control};
constexpr Arg menuEntry{Shape::MenuEntry};
constexpr Arg button{Shape::Button, true};
constexpr Arg key{Shape::Key};
constexpr Arg restOfLine{Shape::Text};
constexpr Arg answer{Shape::Answer};
constexpr Arg file{Shape::Word};
constexpr Arg word{Shape::Word};

constexpr Arg integer(const char *what, int min, int max = INT_MAX)
{
    return {Shape::Integer, false, min, max, -1, what};
}

constexpr Arg optional(Arg a, int fallback = -1)
{
    a.optional = true;
    a.fallback = fallback;
    return a;
}

constexpr Arg timeout = optional(integer("timeout", 0), ScriptCommand::DefaultTimeoutMs);
constexpr Arg listIndex = optional(integer("index", 0));
constexpr Arg panel = integer("panel", 1, WindowState::PanelCount);
constexpr Arg size{Shape::Size, false, 1, INT_MAX, -1, "size"};

// Every command of the language, its arguments and its usage.
constexpr Signature Signatures[] = {
    {"open", Kind::Open, {restOfLine}, "URL"},
    {"navigate", Kind::Navigate, {view, restOfLine}, "VIEW URL"},
    {"wait-load", Kind::WaitLoad, {view, timeout}, "VIEW [MS]"},
    {"wait-idle", Kind::WaitIdle, {timeout}, "[MS]"},
    {"wait", Kind::Wait, {integer("duration", 0)}, "MS"},
    {"menu", Kind::Menu, {menuEntry}, "NAME or NAME(INDEX)"},
    {"press", Kind::Press, {control, button}, "CONTROL [left|right|middle]"},
    {"press-double", Kind::PressDouble, {control, button}, "CONTROL [left|right|middle]"},
    {"hover", Kind::Hover, {control}, "CONTROL"},
    {"hover-background", Kind::HoverBackground, {}, ""},
    {"click", Kind::Click, {control, listIndex}, "CONTROL [INDEX]"},
    {"dblclick", Kind::DoubleClick, {control, listIndex}, "CONTROL [INDEX]"},
    {"rightclick", Kind::RightClick, {control, listIndex}, "CONTROL [INDEX]"},
    {"type", Kind::Type, {control, optional(restOfLine)}, "CONTROL TEXT"},  // no text clears the control
    {"key", Kind::KeyPress, {control, key}, "CONTROL Enter|Delete"},
    {"panel-click", Kind::PanelClick, {panel}, "N"},
    {"panel-dblclick", Kind::PanelDoubleClick, {panel}, "N"},
    {"resize", Kind::Resize, {size}, "W H"},
    {"resize-client", Kind::ResizeClient, {size}, "W H"},
    {"answer", Kind::Answer, {answer}, "yes|no|ok|cancel|text TEXT|file PATH"},
    {"dump", Kind::Dump, {optional(file)}, "[FILE]"},
    {"screenshot", Kind::Screenshot, {file}, "FILE"},
    {"page-hover", Kind::PageHover, {shownView, restOfLine}, "VIEW SELECTOR"},
    {"page-out", Kind::PageOut, {shownView}, "VIEW"},
    {"page-dblclick", Kind::PageDoubleClick, {shownView, restOfLine}, "VIEW SELECTOR"},
    {"page-click", Kind::PageClick, {shownView, restOfLine}, "VIEW SELECTOR"},
    {"wait-document", Kind::WaitDocument, {view, timeout}, "VIEW [MS]"},
    {"wait-message", Kind::WaitMessage, {timeout}, "[MS]"},
    {"mark", Kind::Mark, {word}, "NAME"},
    {"partners", Kind::Partners, {control, optional(restOfLine)}, "ACTION [ARGUMENTS]"},
    {"export", Kind::Export, {control, restOfLine}, "links|found|emails|emails-by-page|images|report FILE"},
    {"keys", Kind::Keys, {file}, "CHORD"},
    {"screenshot-window", Kind::ScreenshotWindow, {control, file}, "Preferences|Partners|Menu.NAME FILE"},
    {"quit", Kind::Quit, {}, ""},
};

const Signature *signatureNamed(const QString &name)
{
    for (const Signature &s : Signatures) {
        if (name == QLatin1String(s.name))
            return &s;
    }
    return nullptr;
}

// The line without its comment.
QString stripComment(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == QLatin1Char('#') && (i == 0 || line.at(i - 1).isSpace()))
            return line.left(i);
    }
    return line;
}

// Splits off up to count words; rest receives what follows the last one,
// trimmed, or stays empty.
QStringList takeWords(const QString &text, int count, QString *rest)
{
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (int(words.size()) < count) {
        while (i < n && text.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && !text.at(i).isSpace())
            ++i;
        words.append(text.mid(start, i - start));
    }
    if (rest)
        *rest = text.mid(i).trimmed();
    return words;
}

bool parseNumber(const QString &word, int min, int max, int *out)
{
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok || value < min || value > max)
        return false;
    *out = value;
    return true;
}

// The value of a word from a fixed list, in any case.
template<typename T, std::size_t N>
std::optional<T> choose(const QString &word, const std::pair<const char *, T> (&choices)[N])
{
    const QString lower = word.toLower();
    for (const auto &[name, value] : choices) {
        if (lower == QLatin1String(name))
            return value;
    }
    return std::nullopt;
}

constexpr std::pair<const char *, MouseButton> Buttons[] = {
    {"left", MouseButton::Left}, {"right", MouseButton::Right}, {"middle", MouseButton::Middle}};
constexpr std::pair<const char *, Key> Keys[] = {{"enter", Key::Enter}, {"delete", Key::Delete}};

bool takesRest(Shape shape)
{
    return shape == Shape::Text || shape == Shape::Answer;
}

// How many words an argument takes; those taking the rest of the line take none.
int wordsOf(Shape shape)
{
    if (shape == Shape::Size)
        return 2;
    return shape == Shape::None || takesRest(shape) ? 0 : 1;
}

// NAME or NAME(INDEX) into target and number.
bool parseMenuEntry(const QString &entry, ScriptCommand &c)
{
    const qsizetype open = entry.indexOf(QLatin1Char('('));
    if (open < 0) {
        c.target = entry;
        return true;
    }
    if (!entry.endsWith(QLatin1Char(')')) || open == 0
        || !parseNumber(entry.mid(open + 1, entry.size() - open - 2), 0, INT_MAX, &c.number))
        return false;
    c.target = entry.left(open);
    return true;
}

// Fills c from the words after the command name; returns an error or an empty string.
QString checkArguments(const Signature &s, const QString &args, ScriptCommand &c)
{
    const QString name = QLatin1String(s.name);
    auto usage = [&name](const char *form) { return QStringLiteral("usage: %1 %2").arg(name, QLatin1String(form)); };

    // The count of words first: a line of the wrong shape gets the usage,
    // whatever its words say.
    int most = 0;
    int least = 0;
    const Arg *restArg = nullptr;
    for (const Arg &a : s.args) {
        if (takesRest(a.shape))
            restArg = &a;
        most += wordsOf(a.shape);
        least += a.optional ? 0 : wordsOf(a.shape);
    }
    QString rest;
    const QStringList w = takeWords(args, restArg ? most : most + 1, restArg ? &rest : nullptr);
    if (w.size() < least || w.size() > most || (restArg && !restArg->optional && rest.isEmpty())) {
        if (!*s.usage)
            return QStringLiteral("%1 takes no arguments").arg(name);
        return usage(s.usage);
    }

    // Then each argument in order.
    qsizetype next = 0;
    for (const Arg &a : s.args) {
        const bool given = next < w.size();
        const QString word = w.value(next);
        switch (a.shape) {
        case Shape::None:
            break;
        case Shape::View:
            if (!browserNamed(word))
                return QStringLiteral("unknown view \"%1\"").arg(word);
            c.target = word;
            break;
        case Shape::ShownView:
            if (const auto id = browserNamed(word); id != BrowserId::MainView && id != BrowserId::SecondView)
                return QStringLiteral("not a shown view \"%1\"").arg(word);
            c.target = word;
            break;
        case Shape::Control:
            c.target = word;
            break;
        case Shape::MenuEntry:
            if (!parseMenuEntry(word, c))
                return QStringLiteral("bad menu entry \"%1\"").arg(word);
            break;
        case Shape::Button:
            if (given) {
                const auto b = choose(word, Buttons);
                if (!b)
                    return QStringLiteral("unknown mouse button \"%1\"").arg(word);
                c.button = *b;
            }
            break;
        case Shape::Key: {
            const auto k = choose(word, Keys);
            if (!k)
                return QStringLiteral("unknown key \"%1\"").arg(word);
            c.key = *k;
            break;
        }
        case Shape::Integer:
            c.number = a.fallback;
            if (given && !parseNumber(word, a.min, a.max, &c.number)) {
                const QString range = a.max == INT_MAX ? QString() : QStringLiteral(" (%1 to %2)").arg(a.min).arg(a.max);
                return QStringLiteral("bad %1 \"%2\"%3").arg(QLatin1String(a.what), word, range);
            }
            break;
        case Shape::Size:
            if (!parseNumber(word, a.min, a.max, &c.number) || !parseNumber(w.at(next + 1), a.min, a.max, &c.number2))
                return QStringLiteral("bad %1 \"%2 %3\"").arg(QLatin1String(a.what), word, w.at(next + 1));
            break;
        case Shape::Word:
            c.text = word;
            break;
        case Shape::Text:
            c.text = rest;
            break;
        case Shape::Answer: {
            QString more;
            const QString first = takeWords(rest, 1, &more).at(0);
            const QString choice = first.toLower();
            if (choice == QLatin1String("yes") || choice == QLatin1String("no") || choice == QLatin1String("ok")
                || choice == QLatin1String("cancel")) {
                if (!more.isEmpty())
                    return usage(s.usage);
                c.text = choice;
            } else if (choice == QLatin1String("text")) {
                c.text = QStringLiteral("text:") + more;
            } else if (choice == QLatin1String("file")) {
                if (more.isEmpty())
                    return usage("file PATH");
                c.text = QStringLiteral("file:") + more;
            } else {
                return QStringLiteral("unknown answer \"%1\"").arg(first);
            }
            break;
        }
        }
        next += wordsOf(a.shape);
    }
    return {};
}

}  // namespace

ScriptLine parseScriptLine(const QString &line, int lineNumber)
{
    const QString text = stripComment(line);
    const QStringList first = takeWords(text, 1, nullptr);
    if (first.isEmpty())
        return {};
    const QString name = first.at(0);
    const Signature *signature = signatureNamed(name);
    if (!signature)
        return {std::nullopt, QStringLiteral("unknown command \"%1\"").arg(name)};
    ScriptCommand c;
    c.kind = signature->kind;
    c.line = lineNumber;
    // The arguments start right after the name, untrimmed inside.
    const QString error = checkArguments(*signature, text.mid(text.indexOf(name) + name.size()), c);
    if (!error.isEmpty())
        return {std::nullopt, error};
    if (c.kind == Kind::Partners) {
        if (const QString bad = checkPartnersAction(c.target, c.text); !bad.isEmpty())
            return {std::nullopt, bad};
    }
    return {c, {}};
}

bool parseScript(const QString &text, QVector<ScriptCommand> *commands, QString *error)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < int(lines.size()); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const ScriptLine parsed = parseScriptLine(line, i + 1);
        if (!parsed.error.isEmpty()) {
            if (error)
                *error = QStringLiteral("script:%1: %2").arg(i + 1).arg(parsed.error);
            return false;
        }
        if (parsed.command)
            commands->append(*parsed.command);
    }
    return true;
}

}  // namespace quorvane
