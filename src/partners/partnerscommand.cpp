#include "partnerscommand.h"

#include "partnerscsv.h"
#include "sitematch.h"

#include "core/csv.h"

#include <QDir>

namespace quorvane {

QString partnersDatabasePath(const QString &programFolder)
{
    return QDir(programFolder).filePath(QLatin1String(PartnerStore::FileName));
}

PartnersCommand::PartnersCommand(PartnersOptions options, QString databasePath, Environment environment,
                                 QTextStream &out, QTextStream &err, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_databasePath(std::move(databasePath)),
      m_env(std::move(environment)), m_out(out), m_err(err)
{
}

PartnersCommand::~PartnersCommand() = default;

int PartnersCommand::fail(const QString &message)
{
    m_err << "quorvane partners: " << message << '\n';
    m_err.flush();
    return ExitBadUsage;
}

int PartnersCommand::start()
{
    QString error;
    if (!m_store.open(m_databasePath, &error))
        return fail(error);
    switch (m_options.command) {
    case PartnersOptions::Command::Import:
        return runImport();
    case PartnersOptions::Command::Export:
        return runExport();
    case PartnersOptions::Command::Sites:
        return runSites();
    case PartnersOptions::Command::Check:
        return startCheck();
    }
    return ExitBadUsage;
}

int PartnersCommand::runImport()
{
    const CsvTable table = readCsvFile(m_options.file);
    const qint64 now = m_env.now();
    const ImportOutcome outcome = m_options.results ? importResults(m_store, table, now) : importPartners(m_store, table, now);
    if (!outcome.fatal.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(m_options.file, outcome.fatal));
    for (const CsvLineError &e : outcome.errors)
        m_err << m_options.file << ":" << e.line << ": " << e.message << '\n';
    m_err.flush();
    m_out << QStringLiteral("%1 partners added, %2 updated").arg(outcome.added).arg(outcome.updated);
    if (m_options.results)
        m_out << QStringLiteral(", %1 checks merged").arg(outcome.checks);
    if (!outcome.errors.isEmpty())
        m_out << QStringLiteral(", %1 lines refused").arg(outcome.errors.size());
    m_out << '\n';
    m_out.flush();
    return outcome.errors.isEmpty() ? ExitOk : ExitSomeLinesRefused;
}

int PartnersCommand::runExport()
{
    CsvWriter writer(partnerCsvColumns());
    for (const PartnerState &state : m_store.partners()) {
        const QList<StoredCheck> checks = m_store.checks(state.partner.id);
        writer.addRow(partnerCsvRow(state, checks.isEmpty() ? nullptr : &checks.first()));
    }
    if (!writer.save(m_options.file))
        return fail(QStringLiteral("cannot write \"%1\"").arg(m_options.file));
    m_out << QStringLiteral("%1 partners written to %2\n").arg(writer.rowCount()).arg(m_options.file);
    m_out.flush();
    return ExitOk;
}

int PartnersCommand::runSites()
{
    if (!m_options.sites.isEmpty()) {
        QStringList sites;
        for (const QString &text : m_options.sites) {
            QString error;
            const auto entry = parseOwnSite(text, &error);
            if (!entry)
                return fail(error);
            sites.append(entry->text());
        }
        sites.removeDuplicates();
        if (!m_store.setSites(sites))
            return fail(m_store.lastError());
    }
    for (const QString &site : m_store.sites())
        m_out << site << '\n';
    m_out.flush();
    return ExitOk;
}

int PartnersCommand::startCheck()
{
    if (!m_env.fetcher || !m_env.wake)
        return fail(QStringLiteral("no transfers"));
    QList<OwnSite> sites;
    for (const QString &text : m_store.sites()) {
        QString error;
        if (const auto entry = parseOwnSite(text, &error))
            sites.append(*entry);
    }
    const qint64 now = m_env.now();
    QList<Partner> partners;
    for (const PartnerState &state : m_store.partners()) {
        if (m_options.only == PartnersOptions::Only::Lost && !state.lost)
            continue;
        if (m_options.only == PartnersOptions::Only::Due && state.lastCheckedAt && now - state.lastCheckedAt < DueAfterMs)
            continue;
        if (shardOf(state.partner.page, m_options.shards) != m_options.shard)
            continue;
        if (state.partner.site.isEmpty() && sites.isEmpty())
            return fail(QStringLiteral("no own sites to look for; set them with \"quorvane partners sites SITE...\""));
        partners.append(state.partner);
    }
    if (!m_store.isOpen())
        return fail(m_store.lastError());

    if (m_env.storeOnThread) {
        QString error;
        m_writer = ThreadedCheckWriter::open(m_databasePath, &error);
        if (!m_writer)
            return fail(error);
    } else {
        m_writer = std::make_unique<StoreCheckWriter>(m_store);
    }
    connect(m_writer.get(), &CheckWriter::failed, this, [this](const QString &why) {
        if (!m_storeFailed)
            m_err << "quorvane partners: " << why << '\n';
        m_storeFailed = true;
    });

    PartnerChecker::Options checkerOptions;
    checkerOptions.timeoutMs = m_options.timeoutSeconds * 1000;
    m_checker = std::make_unique<PartnerChecker>(*m_env.fetcher, *m_env.wake, m_env.now, checkerOptions);
    m_checker->setSites(sites);
    m_checker->setRenderedLinks(m_env.rendered);
    m_checker->setOffload(m_env.offload);
    connect(m_checker.get(), &PartnerChecker::checked, this, &PartnersCommand::onChecked);
    connect(m_checker.get(), &PartnerChecker::runFinished, this, &PartnersCommand::onRunFinished,
            Qt::QueuedConnection);
    m_checker->start(partners);
    return -1;
}

void PartnersCommand::onChecked(const Partner &partner, const CheckRecord &record)
{
    // Each check is stored as it comes, so a run cut short keeps what it did.
    m_writer->write(partner.id, record);
    m_checkedIds.append(partner.id);
    m_verdicts.append(deriveVerdict(record));
}

void PartnersCommand::onRunFinished(bool)
{
    m_writer->waitStored();
    m_store.checkpoint();
    int code = ExitOk;
    if (!m_options.csvOut.isEmpty()) {
        CsvWriter writer(partnerCsvColumns());
        for (const qint64 id : std::as_const(m_checkedIds)) {
            const auto state = m_store.partner(id);
            if (!state)
                continue;
            const QList<StoredCheck> checks = m_store.checks(id);
            writer.addRow(partnerCsvRow(*state, checks.isEmpty() ? nullptr : &checks.first()));
        }
        if (!writer.save(m_options.csvOut))
            code = fail(QStringLiteral("cannot write \"%1\"").arg(m_options.csvOut));
    }
    m_out << verdictSummary(m_verdicts) << '\n';
    m_out.flush();
    m_err.flush();
    if (code == ExitOk && m_storeFailed)
        code = ExitBadUsage;
    if (code == ExitOk && m_verdicts.count(Verdict::Live) != m_verdicts.size())
        code = ExitNotAllLive;
    emit finished(code);
}

}  // namespace quorvane
