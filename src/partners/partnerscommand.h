#pragma once

#include "checkwriter.h"
#include "partnerchecker.h"
#include "partnersoptions.h"
#include "partnerstore.h"

#include <QObject>
#include <QTextStream>

#include <functional>
#include <memory>

namespace quorvane {

class PageFetcher;
class RenderedLinks;
class Timer;

// "quorvane partners ...": headless, on the database in the program folder.
// Exit codes: 0 done (check: every partner checked is live); 1 an import
// refused some lines; 2 bad usage, an unusable database or file; 3 a check
// found a partner that is not live.
class PartnersCommand final : public QObject {
    Q_OBJECT
public:
    static constexpr int ExitOk = 0;
    static constexpr int ExitSomeLinesRefused = 1;
    static constexpr int ExitBadUsage = 2;
    static constexpr int ExitNotAllLive = 3;
    // "--only due": partners not checked for this long (a daily cron job
    // that starts a little early still finds them due).
    static constexpr qint64 DueAfterMs = 20LL * 60 * 60 * 1000;

    struct Environment {
        PageFetcher *fetcher = nullptr;
        Timer *wake = nullptr;
        std::function<qint64()> now;
        RenderedLinks *rendered = nullptr;
        PartnerChecker::Offload offload = PartnerChecker::inPlace();
        // Checks stored on a thread of their own rather than between fetches.
        bool storeOnThread = false;
    };

    PartnersCommand(PartnersOptions options, QString databasePath, Environment environment, QTextStream &out,
                    QTextStream &err, QObject *parent = nullptr);
    ~PartnersCommand() override;

    // The exit code of a command that is done at once, or -1 while a check
    // runs on; finished() then brings the code.
    int start();

signals:
    void finished(int code);

private:
    int fail(const QString &message);
    int runImport();
    int runExport();
    int runSites();
    int startCheck();
    void onChecked(const Partner &partner, const CheckRecord &record);
    void onRunFinished(bool cancelled);

    PartnersOptions m_options;
    QString m_databasePath;
    Environment m_env;
    QTextStream &m_out;
    QTextStream &m_err;
    PartnerStore m_store;
    std::unique_ptr<CheckWriter> m_writer;
    std::unique_ptr<PartnerChecker> m_checker;
    QList<qint64> m_checkedIds;
    QList<Verdict> m_verdicts;
    bool m_storeFailed = false;
};

// The partner database of a program folder.
QString partnersDatabasePath(const QString &programFolder);

}  // namespace quorvane
