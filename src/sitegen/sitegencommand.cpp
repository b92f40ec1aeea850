#include "sitegencommand.h"

#include "profilefile.h"
#include "sitegeneration.h"

#include <QDir>
#include <QFile>

#include <optional>

namespace quorvane {

namespace {
constexpr int ExitIncomplete = 1;
constexpr int ExitBadInput = 2;
const char Usage[] = "usage: quorvane sitegen PROFILE.pro --order-mode online|phone [--program-folder DIR]";

int fail(QTextStream &err, const QString &message, bool usage = false)
{
    err << "quorvane sitegen: " << message << '\n';
    if (usage)
        err << Usage << '\n';
    err.flush();
    return ExitBadInput;
}
}  // namespace

int runSitegenCommand(const QStringList &arguments, const QString &defaultProgramFolder, QTextStream &out,
                      QTextStream &err)
{
    QString profile;
    QString orderMode;
    QString programFolder = defaultProgramFolder;
    bool orderModeSet = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        // Both "--name value" and "--name=value".
        auto value = [&](const char *name, QString *target) {
            const QString option = QLatin1String(name);
            if (arg == option) {
                if (i + 1 >= arguments.size())
                    return -1;
                *target = arguments.at(++i);
                return 1;
            }
            if (arg.startsWith(option + QLatin1Char('='))) {
                *target = arg.mid(option.size() + 1);
                return 1;
            }
            return 0;
        };
        int taken = value("--order-mode", &orderMode);
        if (taken == 1)
            orderModeSet = true;
        if (taken == 0)
            taken = value("--program-folder", &programFolder);
        if (taken < 0)
            return fail(err, QStringLiteral("%1 needs a value").arg(arg), true);
        if (taken > 0)
            continue;
        if (arg.startsWith(QLatin1String("--")))
            return fail(err, QStringLiteral("unknown option \"%1\"").arg(arg), true);
        if (!profile.isEmpty())
            return fail(err, QStringLiteral("unexpected argument \"%1\"").arg(arg), true);
        profile = arg;
    }
    if (profile.isEmpty())
        return fail(err, QStringLiteral("no profile file given"), true);
    if (!orderModeSet)
        return fail(err, QStringLiteral("--order-mode is required"), true);
    if (orderMode != QLatin1String("online") && orderMode != QLatin1String("phone"))
        return fail(err, QStringLiteral("bad order mode \"%1\" (expected online or phone)").arg(orderMode), true);
    if (programFolder.isEmpty() || !QDir().mkpath(programFolder))
        return fail(err, QStringLiteral("cannot create the program folder \"%1\"").arg(programFolder));

    QFile file(profile);
    if (!file.open(QIODevice::ReadOnly))
        return fail(err, QStringLiteral("cannot read \"%1\": %2").arg(profile, file.errorString()));
    const std::optional<ShopDescription> shop = profilefile::read(file.readAll());
    if (!shop)
        return fail(err, QStringLiteral("\"%1\" is not a profile file: it holds fewer than five lines").arg(profile));

    const GenerationReport report = generateSite(*shop, QDir(programFolder).absolutePath(), orderMode);
    if (report.refused)
        return fail(err, report.message.trimmed());
    out << report.folder << '\n';
    out.flush();
    if (!report.message.isEmpty()) {
        err << "quorvane sitegen: " << report.message << '\n';
        err.flush();
        return ExitIncomplete;
    }
    return 0;
}

}  // namespace quorvane
