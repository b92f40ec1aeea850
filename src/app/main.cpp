#include "host/host.h"
#include "core/hostport.h"
#include "windowlogic.h"
#include "core/windowstate.h"
#include "sitegen/sitegencommand.h"
#include "partnerscli.h"
#include "exports/exportcommands.h"
#include "host/desktop/desktophost.h"
#include "automation/automation.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

constexpr int ExitBadUsage = 2;
constexpr int ExitSaveFailed = 4;

struct Options {
    quorvane::Config config;
    QString script;
    QString screenshot;
    bool restoreSession = false;
    quorvane::DesktopHost::HiddenEngine hiddenEngine = quorvane::DesktopHost::HiddenEngine::Text;
};

void setApplicationNames()
{
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1.0"));
}

int usageError(const QString &message)
{
    std::fprintf(stderr, "quorvane: %s\n", qPrintable(message));
    return ExitBadUsage;
}

// $XDG_STATE_HOME/Quorvane, by default ~/.local/state/Quorvane.
QString defaultStateFolder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Quorvane");
}

QString settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + QStringLiteral("/Quorvane/quorvane.ini");
}

// The program folder the settings name, for the commands that run without a window.
QString settingsProgramFolder(const QSettings &settings)
{
    return settings.value(QStringLiteral("programFolder"), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .toString();
}

// Options over the per-user settings file over the built-in defaults.
// Returns an exit code when the program should stop here, -1 to go on.
int readOptions(Options *options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A desktop web browser for people who trade links between web sites."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    // Options that the settings file can also give, with its key.
    struct Setting {
        const char *option;
        const char *key;
        const char *valueName;
        const char *help;
        QString value;
    };
    Setting settingsOptions[] = {
        {"program-folder", "programFolder", "DIR", "Folder for the lists and pages Quorvane keeps.",
         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)},
        {"home-site", "homeSite", "HOST[:PORT]", "Home site to fetch the start pages and lists from.",
         options->config.homeSite},
        {"translation-host", "translationHost", "HOST[:PORT]", "Host of the translation service.",
         options->config.translationHost},
        {"hidden-engine", "hiddenEngine", "text|webengine",
         "Engine of the hidden page readers: text (fast, no scripts) or webengine.", QStringLiteral("text")},
        // Empty: the first common desktop program found when the button is used.
        {"mail-program", "mailProgram", "COMMAND", "Mail program the toolbar starts (a command line).", {}},
        {"address-book", "addressBookProgram", "COMMAND", "Address book the toolbar starts (a command line).", {}},
        {"calculator", "calculatorProgram", "COMMAND", "Calculator the toolbar starts (a command line).", {}},
        // The keyword fetcher's manners; empty user agent: program, version and home site.
        {"user-agent", "userAgent", "TEXT", "How the program names itself to web servers.", {}},
        {"per-host-limit", "perHostLimit", "N", "Requests at a time to one site while finding (1 to 4).",
         QString::number(options->config.perHostLimit)},
        {"host-delay", "hostDelayMs", "MS", "Pause between requests to one site while finding, in ms.",
         QString::number(options->config.hostDelayMs)},
        {"obey-robots", "obeyRobots", "yes|no", "Whether finding obeys the robots.txt of each site.",
         QStringLiteral("no")},
        {"retry-after-cap", "retryAfterCapSeconds", "SECONDS",
         "Longest Retry-After wait honoured before a page is read again.",
         QString::number(options->config.retryAfterCapSeconds)},
        {"state-folder", "stateFolder", "DIR", "Folder for copies of files that could not be saved.",
         defaultStateFolder()},
    };
    QList<QCommandLineOption> settingOptions;
    for (const Setting &s : settingsOptions) {
        settingOptions.append(QCommandLineOption(QString::fromLatin1(s.option), QString::fromLatin1(s.help),
                                                 QString::fromLatin1(s.valueName)));
    }
    const QCommandLineOption scriptOption(QStringLiteral("script"),
                                          QStringLiteral("Run an automation script against the window, then close."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                              QStringLiteral("Write a PNG of the window after start-up (and after the script), then close."),
                                              QStringLiteral("FILE"));
    const QCommandLineOption restoreOption(QStringLiteral("restore-session"),
                                           QStringLiteral("Restore the previous session (the one not restored "
                                                          "last time, if any) without asking."));
    parser.addOptions(settingOptions);
    parser.addOptions({scriptOption, screenshotOption, restoreOption});

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    const QSettings settings(settingsPath(), QSettings::IniFormat);
    for (qsizetype i = 0; i < settingOptions.size(); ++i) {
        Setting &s = settingsOptions[i];
        s.value = parser.isSet(settingOptions.at(i)) ? parser.value(settingOptions.at(i))
                                                     : settings.value(QLatin1String(s.key), s.value).toString();
    }
    quorvane::Config &config = options->config;
    config.programFolder = settingsOptions[0].value;
    config.homeSite = settingsOptions[1].value;
    config.translationHost = settingsOptions[2].value;
    const QString hiddenEngine = settingsOptions[3].value;
    config.hiddenEngine = hiddenEngine;
    config.settingsFile = settingsPath();
    config.mailProgram = settingsOptions[4].value;
    config.addressBookProgram = settingsOptions[5].value;
    config.calculatorProgram = settingsOptions[6].value;
    config.userAgent = settingsOptions[7].value;
    const struct {
        const char *what;
        const QString &text;
        int low;
        int high;
        int *value;
    } numbers[] = {
        {"per-host limit", settingsOptions[8].value, 1, 4, &config.perHostLimit},
        {"host delay", settingsOptions[9].value, 0, 600000, &config.hostDelayMs},
        {"Retry-After cap", settingsOptions[11].value, 0, 86400, &config.retryAfterCapSeconds},
    };
    for (const auto &n : numbers) {
        bool ok = false;
        const int value = n.text.trimmed().toInt(&ok);
        if (!ok || value < n.low || value > n.high)
            return usageError(QStringLiteral("bad %1 \"%2\" (expected %3 to %4)")
                                  .arg(QLatin1String(n.what), n.text).arg(n.low).arg(n.high));
        *n.value = value;
    }
    const QString robots = settingsOptions[10].value.trimmed().toLower();
    if (robots != QLatin1String("yes") && robots != QLatin1String("no") && robots != QLatin1String("true")
        && robots != QLatin1String("false"))
        return usageError(QStringLiteral("bad robots setting \"%1\" (expected yes or no)").arg(settingsOptions[10].value));
    config.obeyRobots = robots == QLatin1String("yes") || robots == QLatin1String("true");
    config.stateFolder = settingsOptions[12].value;
    config.restoreAfterNormalExit = settings.value(QStringLiteral("restoreAfterNormalExit"), false).toBool();
    options->restoreSession = parser.isSet(restoreOption);
    // The generated shops' card gateway: placeholders until the deployment sets them.
    config.gatewayHost = settings.value(QStringLiteral("gatewayHost"), config.gatewayHost).toString();
    config.gatewayLogin = settings.value(QStringLiteral("gatewayLogin"), config.gatewayLogin).toString();

    const struct {
        const char *what;
        const QString &value;
    } hosts[] = {{"home site", config.homeSite}, {"translation host", config.translationHost}};
    for (const auto &h : hosts) {
        QString why;
        if (!quorvane::isValidHostPort(h.value, &why))
            return usageError(QStringLiteral("bad %1: %2 (expected HOST[:PORT], e.g. 127.0.0.1:8737)")
                                  .arg(QLatin1String(h.what), why));
    }
    if (config.programFolder.isEmpty() || !QDir().mkpath(config.programFolder))
        return usageError(QStringLiteral("cannot create the program folder \"%1\"").arg(config.programFolder));
    config.programFolder = QDir(config.programFolder).absolutePath();

    if (hiddenEngine == QLatin1String("webengine"))
        options->hiddenEngine = quorvane::DesktopHost::HiddenEngine::WebEngine;
    else if (hiddenEngine != QLatin1String("text"))
        return usageError(QStringLiteral("bad hidden engine \"%1\" (expected text or webengine)").arg(hiddenEngine));

    options->script = parser.value(scriptOption);
    options->screenshot = parser.value(screenshotOption);
    if (!options->script.isEmpty()) {
        const QFileInfo script(options->script);
        // A FIFO or a device would block or never end before the window shows.
        if (!script.isReadable() || !script.isFile())
            return usageError(QStringLiteral("cannot read script \"%1\" (a readable regular file is needed)")
                                  .arg(options->script));
    }
    return -1;
}

}  // namespace

int main(int argc, char *argv[])
{
    Options options;
    struct {
        bool withEngine = false;
        QStringList arguments;
        QString folder;
        QString userAgent;
    } partners;
    {
        // Options are read before the window system starts, so that --help and
        // usage errors need no display.
        QCoreApplication core(argc, argv);
        setApplicationNames();
        // The shop generator's command line needs no window system at all.
        if (const QStringList args = QCoreApplication::arguments(); args.size() > 1 && args.at(1) == QLatin1String("sitegen")) {
            const QSettings settings(settingsPath(), QSettings::IniFormat);
            const QString folder = settingsProgramFolder(settings);
            QTextStream out(stdout), err(stderr);
            return quorvane::runSitegenCommand(args.mid(2), folder, out, err);
        }
        // So does the partner list: cron and schedulers run it without a display.
        if (const QStringList args = QCoreApplication::arguments(); args.size() > 1 && args.at(1) == QLatin1String("partners")) {
            const QSettings settings(settingsPath(), QSettings::IniFormat);
            partners.folder = settingsProgramFolder(settings);
            const QString homeSite = settings.value(QStringLiteral("homeSite"), options.config.homeSite).toString();
            partners.userAgent = settings.value(QStringLiteral("userAgent")).toString().simplified();
            if (partners.userAgent.isEmpty())
                partners.userAgent = quorvane::userAgentFor(homeSite);
            partners.arguments = args.mid(2);
            const QString engine = settings.value(QStringLiteral("hiddenEngine"), QStringLiteral("text")).toString();
            if (!quorvane::partnersCliRendersScripts(partners.arguments, engine))
                return quorvane::runPartnersCli(partners.arguments, partners.folder, partners.userAgent, false);
            partners.withEngine = true;
        }
        // So does an export of the last saved session.
        if (const QStringList args = QCoreApplication::arguments(); args.size() > 1 && args.at(1) == QLatin1String("export")) {
            const QSettings settings(settingsPath(), QSettings::IniFormat);
            const QString folder = settingsProgramFolder(settings);
            QTextStream out(stdout), err(stderr);
            return quorvane::runExportCommand(args.mid(2), folder, out, err);
        }
        if (!partners.withEngine) {
            if (const int code = readOptions(&options); code >= 0)
                return code;
        }
    }
    if (partners.withEngine) {
        // The web engine needs the window system, offscreen when there is no screen (cron).
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        setApplicationNames();
        return quorvane::runPartnersCli(partners.arguments, partners.folder, partners.userAgent, true);
    }
    const bool automated = !options.script.isEmpty() || !options.screenshot.isEmpty();
    // An automated run needs no screen: use the offscreen platform when there is none.
    if (automated && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    setApplicationNames();

    int code = 0;
    {
        quorvane::DesktopHost host(automated ? quorvane::DesktopHost::ServicesMode::Scripted
                                         : quorvane::DesktopHost::ServicesMode::Desktop,
                                options.hiddenEngine);
        host.setUserAgent(options.config.effectiveUserAgent());
        quorvane::WindowState state;
        quorvane::WindowLogic logic(state, host, options.config);
        {
            auto window = std::make_unique<quorvane::MainWindow>(state, logic, logic.siteGenerator(),
                                                                  options.config, host);
            QObject::connect(window.get(), &quorvane::MainWindow::closed, &app, &QCoreApplication::quit,
                             Qt::QueuedConnection);
            std::unique_ptr<quorvane::Automation> automation;
            if (automated) {
                automation = std::make_unique<quorvane::Automation>(*window, state, host, logic.siteGenerator());
                QString error;
                if (!options.script.isEmpty() && !automation->loadScript(options.script, &error))
                    std::fprintf(stderr, "%s\n", qPrintable(error));
                // Answers at the head of the script answer the start-up's questions.
                automation->queueLeadingAnswers();
                automation->setFinalScreenshot(options.screenshot);
            }

            logic.Form_Load();
            window->syncNow();
            window->show();
            logic.startSessionJournal(options.restoreSession);
            if (automation)
                automation->start();

            code = app.exec();
            if (automation && code == 0)
                code = automation->exitCode();
            automation.reset();
        }
        // After the window is gone, as its terminate event comes last.
        logic.Form_Terminate();
        // A run that could not save everything does not end as a success.
        if (automated && code == 0 && !state.saveFailures().isEmpty())
            code = ExitSaveFailed;
    }
    return code;
}
