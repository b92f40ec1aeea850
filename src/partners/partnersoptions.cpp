#include "partnersoptions.h"

#include <QRegularExpression>

namespace quorvane {

int shardOf(const QString &page, int shards)
{
    // FNV-1a over the UTF-8 bytes: the same on every machine and in every run, unlike qHash.
    quint64 hash = 14695981039346656037ULL;
    for (const char byte : page.trimmed().toUtf8()) {
        hash ^= quint8(byte);
        hash *= 1099511628211ULL;
    }
    return shards <= 1 ? 0 : int(hash % quint64(shards));
}

std::optional<PartnersOptions> parsePartnersOptions(const QStringList &arguments, QString *error)
{
    PartnersOptions options;
    if (arguments.isEmpty()) {
        *error = QStringLiteral("a command is needed (import, export, check or sites)");
        return std::nullopt;
    }
    const QString command = arguments.first();
    if (command == u"import")
        options.command = PartnersOptions::Command::Import;
    else if (command == u"export")
        options.command = PartnersOptions::Command::Export;
    else if (command == u"check")
        options.command = PartnersOptions::Command::Check;
    else if (command == u"sites")
        options.command = PartnersOptions::Command::Sites;
    else {
        *error = QStringLiteral("unknown command \"%1\"").arg(command.left(100));
        return std::nullopt;
    }

    QStringList positional;
    bool onlySet = false, shardSet = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        QString name = arg, value;
        bool hasValue = false;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(u'=')) {
            name = arg.section(u'=', 0, 0);
            value = arg.section(u'=', 1);
            hasValue = true;
        }
        auto take = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            value = arguments.at(++i);
            return true;
        };
        const bool check = options.command == PartnersOptions::Command::Check;
        if (name == u"--program-folder") {
            if (!take())
                return std::nullopt;
            options.programFolder = value;
        } else if (name == u"--results" && options.command == PartnersOptions::Command::Import && !hasValue) {
            options.results = true;
        } else if (name == u"--csv" && check) {
            if (!take())
                return std::nullopt;
            options.csvOut = value;
        } else if (name == u"--only" && check && !onlySet) {
            if (!take())
                return std::nullopt;
            if (value == u"lost")
                options.only = PartnersOptions::Only::Lost;
            else if (value == u"due")
                options.only = PartnersOptions::Only::Due;
            else {
                *error = QStringLiteral("--only takes lost or due, not \"%1\"").arg(value.left(100));
                return std::nullopt;
            }
            onlySet = true;
        } else if (name == u"--shard" && check && !shardSet) {
            if (!take())
                return std::nullopt;
            static const QRegularExpression form(QStringLiteral("^(\\d{1,6})/(\\d{1,6})$"));
            const auto match = form.match(value);
            const int k = match.hasMatch() ? match.captured(1).toInt() : -1;
            const int n = match.hasMatch() ? match.captured(2).toInt() : 0;
            if (n < 1 || k < 0 || k >= n) {
                *error = QStringLiteral("--shard takes K/N with 0 <= K < N, not \"%1\"").arg(value.left(100));
                return std::nullopt;
            }
            options.shard = k;
            options.shards = n;
            shardSet = true;
        } else if (name == u"--timeout" && check) {
            if (!take())
                return std::nullopt;
            bool ok = false;
            options.timeoutSeconds = value.toInt(&ok);
            if (!ok || options.timeoutSeconds < 1 || options.timeoutSeconds > 600) {
                *error = QStringLiteral("--timeout takes 1 to 600 seconds, not \"%1\"").arg(value.left(100));
                return std::nullopt;
            }
        } else if (name == u"--hidden-engine" && check && options.hiddenEngine.isEmpty()) {
            if (!take())
                return std::nullopt;
            if (value != u"text" && value != u"webengine") {
                *error = QStringLiteral("--hidden-engine takes text or webengine, not \"%1\"").arg(value.left(100));
                return std::nullopt;
            }
            options.hiddenEngine = value;
        } else if (arg.startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("unknown or repeated option \"%1\" for %2").arg(arg.left(100), command);
            return std::nullopt;
        } else {
            positional.append(arg);
        }
    }

    switch (options.command) {
    case PartnersOptions::Command::Import:
    case PartnersOptions::Command::Export:
        if (positional.size() != 1) {
            *error = QStringLiteral("%1 takes one FILE.csv").arg(command);
            return std::nullopt;
        }
        options.file = positional.first();
        break;
    case PartnersOptions::Command::Check:
        if (!positional.isEmpty()) {
            *error = QStringLiteral("unexpected argument \"%1\"").arg(positional.first().left(100));
            return std::nullopt;
        }
        break;
    case PartnersOptions::Command::Sites:
        options.sites = positional;
        break;
    }
    return options;
}

}  // namespace quorvane
