#include "partnerscsv.h"

#include "sitematch.h"

#include <QDateTime>

namespace quorvane {

namespace {

constexpr int MaxTextCell = 10000;

// A spreadsheet-safe cell comes back as written: the writer's leading
// apostrophe before a formula character is dropped again.
QString cell(const CsvTable &table, const CsvRecord &record, const QString &name)
{
    QString value = table.value(record, name);
    if (value.size() >= 2 && value.front() == u'\''
        && QStringView(u"=+-@\t\r").contains(value.at(1)))
        value.remove(0, 1);
    return value;
}

qint64 parseTime(const QString &text)
{
    QDateTime time = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (!time.isValid())
        time = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    return time.isValid() ? time.toMSecsSinceEpoch() : -1;
}

}  // namespace

const QStringList &partnerCsvColumns()
{
    static const QStringList columns = {
        QStringLiteral("page"),          QStringLiteral("verdict"),   QStringLiteral("since"),
        QStringLiteral("http_status"),   QStringLiteral("final_address"), QStringLiteral("link_found"),
        QStringLiteral("rel"),           QStringLiteral("anchor_text"), QStringLiteral("robots"),
        QStringLiteral("checked_at"),    QStringLiteral("site"),      QStringLiteral("anchor"),
        QStringLiteral("status"),        QStringLiteral("note"),      QStringLiteral("lost"),
        QStringLiteral("redirects"),     QStringLiteral("canonical"), QStringLiteral("error"),
        QStringLiteral("attempts"),      QStringLiteral("record")};
    return columns;
}

QString csvTime(qint64 ms)
{
    if (ms <= 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

QStringList partnerCsvRow(const PartnerState &state, const StoredCheck *latest)
{
    const Partner &p = state.partner;
    const CheckRecord none;
    const CheckRecord &r = latest ? latest->record : none;
    return {p.page,
            state.verdict ? verdictName(*state.verdict) : QString(),
            csvTime(state.verdictSince),
            latest && r.httpStatus ? QString::number(r.httpStatus) : QString(),
            r.finalAddress,
            latest ? (r.linkFound ? QStringLiteral("yes") : QStringLiteral("no")) : QString(),
            r.rel.join(u' '),
            r.anchorText,
            r.robots.join(u' '),
            csvTime(latest ? r.checkedAt : 0),
            p.site,
            p.anchor,
            outreachName(p.outreach),
            p.note,
            state.lost ? QStringLiteral("yes") : QStringLiteral("no"),
            r.redirects.join(u' '),
            r.canonical,
            r.error,
            latest ? QString::number(r.attempts) : QString(),
            latest ? PartnerStore::recordToJson(r) : QString()};
}

QString verdictSummary(const QList<Verdict> &verdicts)
{
    QStringList parts;
    // Good news first, as people read the line.
    for (int v = int(Verdict::Live); v >= 0; --v) {
        const auto count = verdicts.count(Verdict(v));
        if (count)
            parts.append(QStringLiteral("%1 %2").arg(count).arg(verdictLabel(Verdict(v))));
    }
    return parts.isEmpty() ? QStringLiteral("no partner checked") : parts.join(QStringLiteral(", "));
}

namespace {
// The frame of both imports: the table's own errors, a header problem, one
// transaction, and each record with a partner address handed to row, which
// answers why it refuses the record (empty when it takes it).
template <typename Row>
ImportOutcome importRows(PartnerStore &store, const CsvTable &table, const QString &headerProblem, Row row)
{
    ImportOutcome outcome;
    outcome.errors = table.errors;
    outcome.fatal = table.fatal.isEmpty() ? headerProblem : table.fatal;
    if (!outcome.fatal.isEmpty())
        return outcome;
    store.begin();
    for (const CsvRecord &record : table.records) {
        QString why;
        if (const auto page = parsePartnerPage(cell(table, record, QStringLiteral("page")), &why))
            why = row(record, page->toString(QUrl::FullyEncoded), outcome);
        if (!why.isEmpty())
            outcome.errors.append({record.line, why});
    }
    if (!store.commit())
        outcome.fatal = store.lastError();
    return outcome;
}
}  // namespace

ImportOutcome importPartners(PartnerStore &store, const CsvTable &table, qint64 nowMs)
{
    const QString headerProblem =
        table.column(QStringLiteral("page")) < 0 ? QStringLiteral("the header row has no \"page\" column") : QString();
    return importRows(store, table, headerProblem, [&](const CsvRecord &record, const QString &address,
                                                       ImportOutcome &outcome) -> QString {
        QString error;
        const QString site = cell(table, record, QStringLiteral("site")).trimmed();
        std::optional<OwnSite> siteEntry;
        if (!site.isEmpty() && !(siteEntry = parseOwnSite(site, &error)))
            return error;
        const QString status = cell(table, record, QStringLiteral("status"));
        const auto outreach = outreachFromName(status);
        if (!status.trimmed().isEmpty() && !outreach)
            return QStringLiteral("status \"%1\" is none of %2").arg(status.left(100), outreachNames().join(u", "));
        const QString anchor = cell(table, record, QStringLiteral("anchor")).simplified();
        const QString note = cell(table, record, QStringLiteral("note"));
        if (anchor.size() > MaxTextCell || note.size() > MaxTextCell)
            return QStringLiteral("the anchor or note is longer than %1 characters").arg(MaxTextCell);
        if (auto existing = store.partnerByPage(address)) {
            Partner p = existing->partner;
            if (siteEntry)
                p.site = siteEntry->text();
            if (!anchor.isEmpty())
                p.anchor = anchor;
            if (outreach)
                p.outreach = *outreach;
            if (!note.isEmpty())
                p.note = note;
            if (!store.updatePartner(p, nowMs))
                return store.lastError();
            ++outcome.updated;
            return {};
        }
        Partner p;
        p.page = address;
        p.site = siteEntry ? siteEntry->text() : QString();
        p.anchor = anchor;
        p.outreach = outreach.value_or(Outreach::Found);
        p.note = note;
        if (!store.addPartner(p, nowMs))
            return store.lastError();
        ++outcome.added;
        return {};
    });
}

ImportOutcome importResults(PartnerStore &store, const CsvTable &table, qint64 nowMs)
{
    const QStringList missing = table.missingColumns({QStringLiteral("page"), QStringLiteral("checked_at"),
                                                       QStringLiteral("record")});
    const QString headerProblem = missing.isEmpty()
        ? QString()
        : QStringLiteral("the header row lacks the columns %1 (written by \"check --csv\")")
              .arg(missing.join(QStringLiteral(", ")));
    return importRows(store, table, headerProblem, [&](const CsvRecord &record, const QString &address,
                                                       ImportOutcome &outcome) -> QString {
        const QString json = cell(table, record, QStringLiteral("record"));
        if (json.trimmed().isEmpty())
            return {};  // a partner that was never checked
        const qint64 at = parseTime(cell(table, record, QStringLiteral("checked_at")));
        if (at < 0 || !json.trimmed().startsWith(u'{'))
            return QStringLiteral("no check time or record");
        CheckRecord check = PartnerStore::recordFromJson(json);
        check.checkedAt = at;
        auto existing = store.partnerByPage(address);
        qint64 id = existing ? existing->partner.id : 0;
        if (!existing) {
            Partner p;
            p.page = address;
            QString siteError;
            if (const auto site = parseOwnSite(cell(table, record, QStringLiteral("site")), &siteError))
                p.site = site->text();
            p.anchor = cell(table, record, QStringLiteral("anchor")).simplified().left(MaxTextCell);
            p.outreach = outreachFromName(cell(table, record, QStringLiteral("status"))).value_or(Outreach::Found);
            p.note = cell(table, record, QStringLiteral("note")).left(MaxTextCell);
            const auto added = store.addPartner(p, nowMs);
            if (!added)
                return store.lastError();
            id = *added;
            ++outcome.added;
        }
        for (const StoredCheck &c : store.checks(id)) {
            if (c.record.checkedAt == at)
                return {};  // merged before
        }
        if (!store.recordCheck(id, check))
            return store.lastError();
        ++outcome.checks;
        return {};
    });
}

}  // namespace quorvane
