#include "partnerscli.h"

#include "host/curl/curlmulti.h"
#include "host/curl/curltransfer.h"
#include "host/qt/qttimer.h"
#include "host/webengine/webenginebrowser.h"
#include "partners/browserrenderedlinks.h"
#include "partners/partnerscommand.h"
#include "partners/transferfetcher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTextStream>
#include <QWebEngineProfile>

#include <memory>
#include <vector>

namespace quorvane {

bool partnersCliRendersScripts(const QStringList &arguments, const QString &hiddenEngineSetting)
{
    QString error;
    const auto options = parsePartnersOptions(arguments, &error);
    if (!options || options->command != PartnersOptions::Command::Check)
        return false;
    return (options->hiddenEngine.isEmpty() ? hiddenEngineSetting : options->hiddenEngine) == u"webengine";
}

int runPartnersCli(const QStringList &arguments, const QString &defaultProgramFolder, const QString &userAgent,
                   bool renderScripts)
{
    QTextStream out(stdout), err(stderr);
    QString error;
    auto options = parsePartnersOptions(arguments, &error);
    if (!options) {
        err << "quorvane partners: " << error << '\n' << PartnersUsage << '\n';
        return PartnersCommand::ExitBadUsage;
    }
    const QString folder = options->programFolder.isEmpty() ? defaultProgramFolder : options->programFolder;
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        err << "quorvane partners: cannot create the program folder \"" << folder << "\"\n";
        return PartnersCommand::ExitBadUsage;
    }

    CurlMulti multi;
    std::vector<std::unique_ptr<CurlTransfer>> transfers;
    QList<Transfer *> pointers;
    for (int i = 0; i < 4; ++i) {
        transfers.push_back(std::make_unique<CurlTransfer>(QStringLiteral("Partners%1").arg(i + 1), multi));
        transfers.back()->setUserAgent(userAgent);
        pointers.append(transfers.back().get());
    }
    TransferFetcher fetcher(pointers);
    QtTimer wake(QStringLiteral("PartnersWake"));

    PartnersCommand::Environment environment;
    environment.fetcher = &fetcher;
    environment.wake = &wake;
    environment.now = [] { return QDateTime::currentMSecsSinceEpoch(); };
    environment.offload = PartnerChecker::onThreadPool();
    environment.storeOnThread = true;
    // As in the window: a page whose link is missing from the markup is read
    // again with its scripts run, off the record.
    std::unique_ptr<QWebEngineProfile> profile;
    std::unique_ptr<WebEngineBrowser> reader;
    std::unique_ptr<QtTimer> readerTimeout;
    std::unique_ptr<BrowserRenderedLinks> rendered;
    if (renderScripts) {
        profile = std::make_unique<QWebEngineProfile>();
        profile->setHttpUserAgent(userAgent);
        reader = std::make_unique<WebEngineBrowser>(QStringLiteral("PartnersReader"), profile.get(), false);
        readerTimeout = std::make_unique<QtTimer>(QStringLiteral("PartnersReaderTimeout"));
        rendered = std::make_unique<BrowserRenderedLinks>(*reader, *readerTimeout);
        environment.rendered = rendered.get();
    }
    PartnersCommand command(*options, partnersDatabasePath(folder), environment, out, err);
    int code = command.start();
    if (code < 0) {
        QObject::connect(&command, &PartnersCommand::finished, QCoreApplication::instance(), &QCoreApplication::exit,
                         Qt::QueuedConnection);
        code = QCoreApplication::exec();
    }
    return code;
}

}  // namespace quorvane
