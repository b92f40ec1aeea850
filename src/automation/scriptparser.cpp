#include "scriptparser.h"

#include "core/windowstate.h"
#include "host/controls.h"

#include <QHash>
#include <QStringList>

namespace quorvane {

namespace {

using Kind = ScriptCommand::Kind;

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

bool parseNumber(const QString &word, int min, int *out)
{
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok || value < min)
        return false;
    *out = value;
    return true;
}

bool isView(const QString &name)
{
    return browserNamed(name).has_value();
}

const QHash<QString, Kind> &kindsByName()
{
    static const QHash<QString, Kind> kinds = {
        {QStringLiteral("open"), Kind::Open},
        {QStringLiteral("navigate"), Kind::Navigate},
        {QStringLiteral("wait-load"), Kind::WaitLoad},
        {QStringLiteral("wait-idle"), Kind::WaitIdle},
        {QStringLiteral("wait"), Kind::Wait},
        {QStringLiteral("menu"), Kind::Menu},
        {QStringLiteral("press"), Kind::Press},
        {QStringLiteral("press-double"), Kind::PressDouble},
        {QStringLiteral("hover"), Kind::Hover},
        {QStringLiteral("hover-background"), Kind::HoverBackground},
        {QStringLiteral("click"), Kind::Click},
        {QStringLiteral("dblclick"), Kind::DoubleClick},
        {QStringLiteral("rightclick"), Kind::RightClick},
        {QStringLiteral("type"), Kind::Type},
        {QStringLiteral("key"), Kind::KeyPress},
        {QStringLiteral("panel-click"), Kind::PanelClick},
        {QStringLiteral("panel-dblclick"), Kind::PanelDoubleClick},
        {QStringLiteral("resize"), Kind::Resize},
        {QStringLiteral("resize-client"), Kind::ResizeClient},
        {QStringLiteral("answer"), Kind::Answer},
        {QStringLiteral("dump"), Kind::Dump},
        {QStringLiteral("screenshot"), Kind::Screenshot},
        {QStringLiteral("page-hover"), Kind::PageHover},
        {QStringLiteral("page-out"), Kind::PageOut},
        {QStringLiteral("page-dblclick"), Kind::PageDoubleClick},
        {QStringLiteral("page-click"), Kind::PageClick},
        {QStringLiteral("quit"), Kind::Quit},
    };
    return kinds;
}

// Fills c from the words after the command name; returns an error or an empty string.
QString parseArguments(ScriptCommand &c, const QString &name, const QString &args)
{
    QString rest;
    auto usage = [&name](const char *form) { return QStringLiteral("usage: %1 %2").arg(name, QLatin1String(form)); };

    switch (c.kind) {
    case Kind::Open:
        c.text = args.trimmed();
        return c.text.isEmpty() ? usage("URL") : QString();
    case Kind::Navigate: {
        const QStringList w = takeWords(args, 1, &rest);
        if (w.size() != 1 || rest.isEmpty())
            return usage("VIEW URL");
        if (!isView(w.at(0)))
            return QStringLiteral("unknown view \"%1\"").arg(w.at(0));
        c.target = w.at(0);
        c.text = rest;
        return {};
    }
    case Kind::WaitLoad: {
        const QStringList w = takeWords(args, 3, nullptr);
        if (w.isEmpty() || w.size() > 2)
            return usage("VIEW [MS]");
        if (!isView(w.at(0)))
            return QStringLiteral("unknown view \"%1\"").arg(w.at(0));
        c.target = w.at(0);
        c.number = ScriptCommand::DefaultTimeoutMs;
        if (w.size() == 2 && !parseNumber(w.at(1), 0, &c.number))
            return QStringLiteral("bad timeout \"%1\"").arg(w.at(1));
        return {};
    }
    case Kind::WaitIdle: {
        const QStringList w = takeWords(args, 2, nullptr);
        if (w.size() > 1)
            return usage("[MS]");
        c.number = ScriptCommand::DefaultTimeoutMs;
        if (w.size() == 1 && !parseNumber(w.at(0), 0, &c.number))
            return QStringLiteral("bad timeout \"%1\"").arg(w.at(0));
        return {};
    }
    case Kind::Wait: {
        const QStringList w = takeWords(args, 2, nullptr);
        if (w.size() != 1)
            return usage("MS");
        if (!parseNumber(w.at(0), 0, &c.number))
            return QStringLiteral("bad duration \"%1\"").arg(w.at(0));
        return {};
    }
    case Kind::Menu: {
        const QStringList w = takeWords(args, 2, nullptr);
        if (w.size() != 1)
            return usage("NAME or NAME(INDEX)");
        QString target = w.at(0);
        const qsizetype open = target.indexOf(QLatin1Char('('));
        if (open >= 0) {
            if (!target.endsWith(QLatin1Char(')')) || open == 0
                || !parseNumber(target.mid(open + 1, target.size() - open - 2), 0, &c.number))
                return QStringLiteral("bad menu entry \"%1\"").arg(target);
            target = target.left(open);
        }
        c.target = target;
        return {};
    }
    case Kind::Press:
    case Kind::PressDouble: {
        const QStringList w = takeWords(args, 3, nullptr);
        if (w.isEmpty() || w.size() > 2)
            return usage("CONTROL [left|right|middle]");
        c.target = w.at(0);
        if (w.size() == 2) {
            const QString b = w.at(1).toLower();
            if (b == QLatin1String("left"))
                c.button = MouseButton::Left;
            else if (b == QLatin1String("right"))
                c.button = MouseButton::Right;
            else if (b == QLatin1String("middle"))
                c.button = MouseButton::Middle;
            else
                return QStringLiteral("unknown mouse button \"%1\"").arg(w.at(1));
        }
        return {};
    }
    case Kind::Hover: {
        const QStringList w = takeWords(args, 2, nullptr);
        if (w.size() != 1)
            return usage("CONTROL");
        c.target = w.at(0);
        return {};
    }
    case Kind::HoverBackground:
    case Kind::Quit:
        return takeWords(args, 1, nullptr).isEmpty() ? QString() : QStringLiteral("%1 takes no arguments").arg(name);
    case Kind::Click:
    case Kind::DoubleClick:
    case Kind::RightClick: {
        const QStringList w = takeWords(args, 3, nullptr);
        if (w.isEmpty() || w.size() > 2)
            return usage("CONTROL [INDEX]");
        c.target = w.at(0);
        if (w.size() == 2 && !parseNumber(w.at(1), 0, &c.number))
            return QStringLiteral("bad index \"%1\"").arg(w.at(1));
        return {};
    }
    // Mouse events raised inside the page shown by one of the two views.
    case Kind::PageHover:
    case Kind::PageDoubleClick:
    case Kind::PageClick:
    case Kind::PageOut: {
        const bool out = c.kind == Kind::PageOut;
        const QStringList w = takeWords(args, out ? 2 : 1, &rest);
        if (w.size() != 1 || (!out && rest.isEmpty()))
            return usage(out ? "VIEW" : "VIEW SELECTOR");
        if (const auto id = browserNamed(w.at(0)); id != BrowserId::MainView && id != BrowserId::SecondView)
            return QStringLiteral("not a shown view \"%1\"").arg(w.at(0));
        c.target = w.at(0);
        c.text = rest;
        return {};
    }
    case Kind::Type: {
        const QStringList w = takeWords(args, 1, &rest);
        if (w.isEmpty())
            return usage("CONTROL TEXT");
        c.target = w.at(0);
        c.text = rest;  // may be empty: clears the control
        return {};
    }
    case Kind::KeyPress: {
        const QStringList w = takeWords(args, 3, nullptr);
        if (w.size() != 2)
            return usage("CONTROL Enter|Delete");
        c.target = w.at(0);
        const QString k = w.at(1).toLower();
        if (k == QLatin1String("enter"))
            c.key = Key::Enter;
        else if (k == QLatin1String("delete"))
            c.key = Key::Delete;
        else
            return QStringLiteral("unknown key \"%1\"").arg(w.at(1));
        return {};
    }
    case Kind::PanelClick:
    case Kind::PanelDoubleClick: {
        const QStringList w = takeWords(args, 2, nullptr);
        if (w.size() != 1)
            return usage("N");
        if (!parseNumber(w.at(0), 1, &c.number) || c.number > WindowState::PanelCount)
            return QStringLiteral("bad panel \"%1\" (1 to %2)").arg(w.at(0)).arg(WindowState::PanelCount);
        return {};
    }
    case Kind::Resize:
    case Kind::ResizeClient: {
        const QStringList w = takeWords(args, 3, nullptr);
        if (w.size() != 2)
            return usage("W H");
        if (!parseNumber(w.at(0), 1, &c.number) || !parseNumber(w.at(1), 1, &c.number2))
            return QStringLiteral("bad size \"%1 %2\"").arg(w.at(0), w.at(1));
        return {};
    }
    case Kind::Answer: {
        const QStringList w = takeWords(args, 1, &rest);
        if (w.isEmpty())
            return usage("yes|no|ok|cancel|text TEXT|file PATH");
        const QString a = w.at(0).toLower();
        if (a == QLatin1String("yes") || a == QLatin1String("no") || a == QLatin1String("ok")
            || a == QLatin1String("cancel")) {
            if (!rest.isEmpty())
                return usage("yes|no|ok|cancel|text TEXT|file PATH");
            c.text = a;
        } else if (a == QLatin1String("text")) {
            c.text = QStringLiteral("text:") + rest;
        } else if (a == QLatin1String("file")) {
            if (rest.isEmpty())
                return usage("file PATH");
            c.text = QStringLiteral("file:") + rest;
        } else {
            return QStringLiteral("unknown answer \"%1\"").arg(w.at(0));
        }
        return {};
    }
    case Kind::Dump:
    case Kind::Screenshot: {
        const QStringList w = takeWords(args, 2, nullptr);
        if (w.size() > 1 || (c.kind == Kind::Screenshot && w.isEmpty()))
            return usage(c.kind == Kind::Dump ? "[FILE]" : "FILE");
        c.text = w.value(0);
        return {};
    }
    }
    return QStringLiteral("unknown command \"%1\"").arg(name);
}

}  // namespace

ScriptLine parseScriptLine(const QString &line, int lineNumber)
{
    const QString text = stripComment(line);
    QString args;
    const QStringList first = takeWords(text, 1, nullptr);
    if (first.isEmpty())
        return {};
    const QString name = first.at(0);
    // The arguments start right after the name, untrimmed inside.
    args = text.mid(text.indexOf(name) + name.size());

    const auto it = kindsByName().constFind(name);
    if (it == kindsByName().constEnd())
        return {std::nullopt, QStringLiteral("unknown command \"%1\"").arg(name)};
    ScriptCommand c;
    c.kind = it.value();
    c.line = lineNumber;
    const QString error = parseArguments(c, name, args);
    if (!error.isEmpty())
        return {std::nullopt, error};
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
