#include "partnerlist.h"

#include "sitematch.h"

#include "core/csv.h"

namespace quorvane {

PartnerList::PartnerList(PartnerStore &store, PageFetcher &fetcher, Timer &wake, std::function<qint64()> now,
                         QObject *parent)
    : QObject(parent), m_store(store), m_storeWriter(store), m_now(now), m_checker(fetcher, wake, now)
{
    setWriter(nullptr);
    connect(&m_checker, &PartnerChecker::checked, this,
            [this](const Partner &partner, const CheckRecord &record) { m_writer->write(partner.id, record); });
    connect(&m_checker, &PartnerChecker::progress, this, &PartnerList::progress);
    connect(&m_checker, &PartnerChecker::runFinished, this, [this](bool cancelled) {
        // The rows show every check of the run before the run is told over.
        m_writer->waitStored();
        m_writer->checkpoint();
        emit runFinished(cancelled);
    });
    reload();
}

PartnerList::~PartnerList()
{
    // The checker cancels its run as it goes; nobody here listens any more.
    disconnect(&m_checker, nullptr, this, nullptr);
}

void PartnerList::reload()
{
    m_rows = m_store.partners();
    emit rowsChanged();
}

int PartnerList::rowOf(qint64 id) const
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).partner.id == id)
            return int(i);
    }
    return -1;
}

QString PartnerList::add(const QString &page, const QString &site, const QString &anchor, Outreach outreach,
                         const QString &note)
{
    QString error;
    const auto url = parsePartnerPage(page, &error);
    if (!url)
        return error;
    Partner p;
    p.page = url->toString(QUrl::FullyEncoded);
    if (!site.trimmed().isEmpty()) {
        const auto entry = parseOwnSite(site, &error);
        if (!entry)
            return error;
        p.site = entry->text();
    }
    p.anchor = anchor.simplified();
    p.outreach = outreach;
    p.note = note;
    if (!m_store.addPartner(p, m_now()))
        return m_store.lastError();
    reload();
    return {};
}

QString PartnerList::edit(const Partner &partner)
{
    QString error;
    Partner p = partner;
    const auto url = parsePartnerPage(p.page, &error);
    if (!url)
        return error;
    p.page = url->toString(QUrl::FullyEncoded);
    if (!p.site.trimmed().isEmpty()) {
        const auto entry = parseOwnSite(p.site, &error);
        if (!entry)
            return error;
        p.site = entry->text();
    } else {
        p.site.clear();
    }
    p.anchor = p.anchor.simplified();
    if (!m_store.updatePartner(p, m_now()))
        return m_store.lastError();
    const int row = rowOf(p.id);
    if (const auto state = m_store.partner(p.id); state && row >= 0) {
        m_rows[row] = *state;
        emit rowChanged(row);
    }
    return {};
}

QString PartnerList::remove(qint64 id)
{
    if (!m_store.removePartner(id))
        return m_store.lastError();
    m_removed.append(id);
    reload();
    return {};
}

QString PartnerList::undoRemove()
{
    if (m_removed.isEmpty())
        return QStringLiteral("nothing to undo");
    const qint64 id = m_removed.takeLast();
    if (!m_store.restorePartner(id))
        return m_store.lastError();
    reload();
    return {};
}

QString PartnerList::setSites(const QStringList &sites)
{
    QStringList entries;
    for (const QString &text : sites) {
        if (text.trimmed().isEmpty())
            continue;
        QString error;
        const auto entry = parseOwnSite(text, &error);
        if (!entry)
            return error;
        entries.append(entry->text());
    }
    entries.removeDuplicates();
    if (!m_store.setSites(entries))
        return m_store.lastError();
    return {};
}

void PartnerList::checkAll()
{
    QList<qint64> ids;
    for (const PartnerState &s : std::as_const(m_rows))
        ids.append(s.partner.id);
    check(ids);
}

void PartnerList::check(const QList<qint64> &ids)
{
    QList<OwnSite> sites;
    for (const QString &text : m_store.sites()) {
        QString error;
        if (const auto entry = parseOwnSite(text, &error))
            sites.append(*entry);
    }
    QList<Partner> partners;
    for (const qint64 id : ids) {
        const int row = rowOf(id);
        if (row >= 0)
            partners.append(m_rows.at(row).partner);
    }
    m_checker.setSites(sites);
    m_checker.start(partners);
}

void PartnerList::cancel()
{
    m_checker.cancel();
}

void PartnerList::setWriter(CheckWriter *writer)
{
    if (m_writer)
        disconnect(m_writer, nullptr, this, nullptr);
    m_writer = writer ? writer : &m_storeWriter;
    connect(m_writer, &CheckWriter::stored, this, &PartnerList::onStored);
    connect(m_writer, &CheckWriter::failed, this, &PartnerList::storeFailed);
}

void PartnerList::onStored(qint64 partnerId, const PartnerState &after)
{
    const int row = rowOf(partnerId);
    if (row < 0)
        return;
    PartnerState &state = m_rows[row];
    const Partner partner = state.partner;
    state = after;
    state.partner = partner;
    emit rowChanged(row);
}

QString PartnerList::summary() const
{
    QList<Verdict> verdicts;
    for (const PartnerState &s : m_rows) {
        if (s.verdict)
            verdicts.append(*s.verdict);
    }
    return verdictSummary(verdicts);
}

ImportOutcome PartnerList::importCsv(const QString &path)
{
    const ImportOutcome outcome = importPartners(m_store, readCsvFile(path), m_now());
    reload();
    return outcome;
}

QString PartnerList::exportCsv(const QString &path) const
{
    CsvWriter writer(partnerCsvColumns());
    for (const PartnerState &state : m_rows) {
        const QList<StoredCheck> checks = m_store.checks(state.partner.id);
        writer.addRow(partnerCsvRow(state, checks.isEmpty() ? nullptr : &checks.first()));
    }
    if (!writer.save(path))
        return QStringLiteral("cannot write \"%1\"").arg(path);
    return {};
}

}  // namespace quorvane
