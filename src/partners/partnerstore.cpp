#include "partnerstore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <iterator>

namespace quorvane {

namespace {

// Each step brings the schema from its index to the next version.
const char *const Migrations[] = {
    // 0 -> 1: partners, the user's sites, checks, status changes.
    "CREATE TABLE partners ("
    "  id INTEGER PRIMARY KEY,"
    "  page TEXT NOT NULL UNIQUE,"
    "  site TEXT NOT NULL DEFAULT '',"
    "  anchor TEXT NOT NULL DEFAULT '',"
    "  outreach TEXT NOT NULL DEFAULT 'found',"
    "  note TEXT NOT NULL DEFAULT '',"
    "  added_at INTEGER NOT NULL DEFAULT 0,"
    "  outreach_changed_at INTEGER NOT NULL DEFAULT 0,"
    "  verdict TEXT,"
    "  previous_verdict TEXT,"
    "  verdict_since INTEGER NOT NULL DEFAULT 0,"
    "  last_checked_at INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE own_sites (position INTEGER PRIMARY KEY, site TEXT NOT NULL);"
    "CREATE TABLE checks ("
    "  id INTEGER PRIMARY KEY,"
    "  partner_id INTEGER NOT NULL REFERENCES partners(id) ON DELETE CASCADE,"
    "  checked_at INTEGER NOT NULL,"
    "  verdict TEXT NOT NULL,"
    "  http_status INTEGER NOT NULL DEFAULT 0,"
    "  final_address TEXT NOT NULL DEFAULT '',"
    "  link_found INTEGER NOT NULL DEFAULT 0,"
    "  rel TEXT NOT NULL DEFAULT '',"
    "  anchor_text TEXT NOT NULL DEFAULT '',"
    "  robots TEXT NOT NULL DEFAULT '',"
    "  record TEXT NOT NULL DEFAULT '{}');"
    "CREATE INDEX checks_by_partner ON checks (partner_id, checked_at);"
    "CREATE TABLE status_changes ("
    "  id INTEGER PRIMARY KEY,"
    "  partner_id INTEGER NOT NULL REFERENCES partners(id) ON DELETE CASCADE,"
    "  changed_at INTEGER NOT NULL,"
    "  what TEXT NOT NULL,"
    "  old_value TEXT NOT NULL DEFAULT '',"
    "  new_value TEXT NOT NULL DEFAULT '');"
    "CREATE INDEX status_changes_by_partner ON status_changes (partner_id, changed_at);",
    // 1 -> 2: the "lost" rule needs when a failure began; removal can be undone.
    "ALTER TABLE partners ADD COLUMN failing_since INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE partners ADD COLUMN lost INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE partners ADD COLUMN removed INTEGER NOT NULL DEFAULT 0;",
};
static_assert(std::size(Migrations) == PartnerStore::SchemaVersion);

const char PartnerColumns[] =
    "id, page, site, anchor, outreach, note, added_at, outreach_changed_at, verdict, previous_verdict,"
    " verdict_since, last_checked_at, failing_since, lost";

PartnerState stateFrom(const QSqlQuery &q)
{
    PartnerState s;
    Partner &p = s.partner;
    p.id = q.value(0).toLongLong();
    p.page = q.value(1).toString();
    p.site = q.value(2).toString();
    p.anchor = q.value(3).toString();
    p.outreach = outreachFromName(q.value(4).toString()).value_or(Outreach::Found);
    p.note = q.value(5).toString();
    p.addedAt = q.value(6).toLongLong();
    p.outreachChangedAt = q.value(7).toLongLong();
    if (!q.value(8).isNull())
        s.verdict = verdictFromName(q.value(8).toString());
    if (!q.value(9).isNull())
        s.previousVerdict = verdictFromName(q.value(9).toString());
    s.verdictSince = q.value(10).toLongLong();
    s.lastCheckedAt = q.value(11).toLongLong();
    s.failingSince = q.value(12).toLongLong();
    s.lost = q.value(13).toInt() != 0;
    return s;
}

// Qt binds a null string as SQL NULL; the text columns take none.
QString notNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

QJsonArray toArray(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

QStringList fromArray(const QJsonValue &value)
{
    QStringList out;
    for (const QJsonValue &v : value.toArray())
        out.append(v.toString());
    return out;
}

// Takes the write lock at once: the checks are stored through a connection of
// their own, and a transaction that reads first and writes later would fail
// outright, without waiting, if that one wrote in between.
bool beginWriting(QSqlDatabase db)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

}  // namespace

// Commits on success, rolls back otherwise; nested inside begin()/commit()
// it leaves the outer transaction alone.
class StoreTransaction final {
public:
    StoreTransaction(QSqlDatabase db, bool nested) : m_db(db), m_nested(nested)
    {
        m_ok = m_nested || beginWriting(m_db);
    }
    ~StoreTransaction()
    {
        if (!m_nested && m_ok && !m_committed)
            m_db.rollback();
    }
    bool ok() const { return m_ok; }
    // A failed commit may leave the transaction open: the destructor then
    // rolls it back, after the caller has read the error.
    bool commit()
    {
        m_committed = m_nested || m_db.commit();
        return m_committed;
    }

private:
    QSqlDatabase m_db;
    bool m_nested;
    bool m_ok = false;
    bool m_committed = false;
};

PartnerStore::PartnerStore()
    : m_connection(QStringLiteral("partners-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

struct PartnerStore::Statements {
    QHash<QString, QSqlQuery> bySql;
};

QSqlQuery &PartnerStore::prepared(const QString &sql)
{
    if (!m_statements)
        m_statements = std::make_unique<Statements>();
    auto it = m_statements->bySql.find(sql);
    if (it == m_statements->bySql.end()) {
        it = m_statements->bySql.insert(sql, QSqlQuery(QSqlDatabase::database(m_connection, false)));
        it->prepare(sql);
    }
    return *it;
}

PartnerStore::~PartnerStore()
{
    m_statements.reset();  // before their connection goes
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool PartnerStore::fail(const QString &what, const QString &why) const
{
    m_error = what + QStringLiteral(": ") + why;
    return false;
}

bool PartnerStore::isOpen() const
{
    return QSqlDatabase::contains(m_connection) && QSqlDatabase::database(m_connection, false).isOpen();
}

bool PartnerStore::exec(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    for (const QString &statement : sql.split(u';', Qt::SkipEmptyParts)) {
        if (statement.trimmed().isEmpty())
            continue;
        if (!q.exec(statement))
            return fail(statement.trimmed().left(60), q.lastError().text());
    }
    return true;
}

bool PartnerStore::open(const QString &path, QString *error)
{
    m_statements.reset();
    QSqlDatabase db = QSqlDatabase::contains(m_connection) ? QSqlDatabase::database(m_connection, false)
                                                           : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid()) {
        *error = QStringLiteral("the SQLite driver of Qt is not installed (Debian package libqt6sql6-sqlite)");
        return false;
    }
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        *error = QStringLiteral("cannot open \"%1\": %2").arg(path, db.lastError().text());
        return false;
    }
    QSqlQuery check(db);
    // A file that is no database fails here rather than at the first write.
    if (!check.exec(QStringLiteral("PRAGMA user_version")) || !check.next()) {
        *error = QStringLiteral("\"%1\" is no partner database: %2").arg(path, check.lastError().text());
        db.close();
        return false;
    }
    check.finish();  // an open read would keep the journal mode from changing
    // Every check commits on its own; checkpoints (the only syncs in WAL mode
    // with synchronous=NORMAL) wait for the end of a run rather than coming
    // every few dozen checks.
    if (!exec(QStringLiteral("PRAGMA journal_mode=WAL;PRAGMA synchronous=NORMAL;PRAGMA foreign_keys=ON;"
                             "PRAGMA wal_autocheckpoint=20000"))
        || !migrate()) {
        *error = QStringLiteral("\"%1\": %2").arg(path, m_error);
        db.close();
        return false;
    }
    return true;
}

bool PartnerStore::migrate()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return fail(QStringLiteral("schema version"), q.lastError().text());
    const int version = q.value(0).toInt();
    q.finish();
    if (version > SchemaVersion)
        return fail(QStringLiteral("schema version %1").arg(version),
                    QStringLiteral("written by a newer program (this one knows %1)").arg(SchemaVersion));
    for (int step = version; step < SchemaVersion; ++step) {
        StoreTransaction transaction(db, false);
        if (!transaction.ok())
            return fail(QStringLiteral("migration"), db.lastError().text());
        if (!exec(QString::fromLatin1(Migrations[step]))
            || !exec(QStringLiteral("PRAGMA user_version=%1").arg(step + 1)))
            return false;
        if (!transaction.commit())
            return fail(QStringLiteral("migration"), db.lastError().text());
    }
    return true;
}

void PartnerStore::checkpoint()
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

bool PartnerStore::begin()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    m_inBatch = beginWriting(db);
    return m_inBatch;
}

bool PartnerStore::commit()
{
    m_inBatch = false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (db.commit())
        return true;
    fail(QStringLiteral("committing"), db.lastError().text());
    // A failed commit may leave the transaction open; none of it is kept.
    db.rollback();
    return false;
}

QList<PartnerState> PartnerStore::partners() const
{
    QList<PartnerState> out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM partners WHERE removed = 0 ORDER BY id").arg(QLatin1String(PartnerColumns)))) {
        fail(QStringLiteral("reading partners"), q.lastError().text());
        return out;
    }
    while (q.next())
        out.append(stateFrom(q));
    return out;
}

std::optional<PartnerState> PartnerStore::partnerWhere(const char *column, const QVariant &value) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT %1 FROM partners WHERE %2 = ? AND removed = 0")
                  .arg(QLatin1String(PartnerColumns), QLatin1String(column)));
    q.addBindValue(value);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return stateFrom(q);
}

std::optional<PartnerState> PartnerStore::partner(qint64 id) const
{
    return partnerWhere("id", id);
}

std::optional<PartnerState> PartnerStore::partnerByPage(const QString &page) const
{
    return partnerWhere("page", page);
}

std::optional<qint64> PartnerStore::addPartner(const Partner &p, qint64 nowMs)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // A removed partner of the same page comes back with its history.
    q.prepare(QStringLiteral("SELECT id, removed FROM partners WHERE page = ?"));
    q.addBindValue(notNull(p.page));
    if (!q.exec()) {
        fail(QStringLiteral("adding a partner"), q.lastError().text());
        return std::nullopt;
    }
    if (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        if (q.value(1).toInt() == 0) {
            fail(QStringLiteral("adding a partner"), QStringLiteral("\"%1\" is already a partner").arg(p.page));
            return std::nullopt;
        }
        Partner revived = p;
        revived.id = id;
        if (!updatePartner(revived, nowMs) || !restorePartner(id))
            return std::nullopt;
        return id;
    }
    q.prepare(QStringLiteral("INSERT INTO partners (page, site, anchor, outreach, note, added_at, outreach_changed_at)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(notNull(p.page));
    q.addBindValue(notNull(p.site));
    q.addBindValue(notNull(p.anchor));
    q.addBindValue(outreachName(p.outreach));
    q.addBindValue(notNull(p.note));
    q.addBindValue(p.addedAt ? p.addedAt : nowMs);
    q.addBindValue(p.outreachChangedAt ? p.outreachChangedAt : nowMs);
    if (!q.exec()) {
        fail(QStringLiteral("adding a partner"), q.lastError().text());
        return std::nullopt;
    }
    return q.lastInsertId().toLongLong();
}

bool PartnerStore::updatePartner(const Partner &p, qint64 nowMs)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    StoreTransaction transaction(db, m_inBatch);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT outreach FROM partners WHERE id = ?"));
    q.addBindValue(p.id);
    if (!q.exec() || !q.next())
        return fail(QStringLiteral("editing a partner"), QStringLiteral("no partner %1").arg(p.id));
    const QString oldOutreach = q.value(0).toString();
    const QString newOutreach = outreachName(p.outreach);
    const bool outreachChanged = oldOutreach != newOutreach;
    q.prepare(QStringLiteral("UPDATE partners SET page = ?, site = ?, anchor = ?, outreach = ?, note = ?,"
                             " outreach_changed_at = CASE WHEN ? THEN ? ELSE outreach_changed_at END WHERE id = ?"));
    q.addBindValue(notNull(p.page));
    q.addBindValue(notNull(p.site));
    q.addBindValue(notNull(p.anchor));
    q.addBindValue(newOutreach);
    q.addBindValue(notNull(p.note));
    q.addBindValue(outreachChanged ? 1 : 0);
    q.addBindValue(nowMs);
    q.addBindValue(p.id);
    if (!q.exec())
        return fail(QStringLiteral("editing a partner"), q.lastError().text());
    if (outreachChanged) {
        q.prepare(QStringLiteral("INSERT INTO status_changes (partner_id, changed_at, what, old_value, new_value)"
                                 " VALUES (?, ?, 'outreach', ?, ?)"));
        q.addBindValue(p.id);
        q.addBindValue(nowMs);
        q.addBindValue(notNull(oldOutreach));
        q.addBindValue(newOutreach);
        if (!q.exec())
            return fail(QStringLiteral("editing a partner"), q.lastError().text());
    }
    return transaction.commit() || fail(QStringLiteral("editing a partner"), db.lastError().text());
}

bool PartnerStore::removePartner(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE partners SET removed = 1 WHERE id = ?"));
    q.addBindValue(id);
    return q.exec() || fail(QStringLiteral("removing a partner"), q.lastError().text());
}

bool PartnerStore::restorePartner(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE partners SET removed = 0 WHERE id = ?"));
    q.addBindValue(id);
    return q.exec() || fail(QStringLiteral("restoring a partner"), q.lastError().text());
}

QStringList PartnerStore::sites() const
{
    QStringList out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (q.exec(QStringLiteral("SELECT site FROM own_sites ORDER BY position"))) {
        while (q.next())
            out.append(q.value(0).toString());
    }
    return out;
}

bool PartnerStore::setSites(const QStringList &sites)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    StoreTransaction transaction(db, m_inBatch);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("DELETE FROM own_sites")))
        return fail(QStringLiteral("saving the sites"), q.lastError().text());
    q.prepare(QStringLiteral("INSERT INTO own_sites (position, site) VALUES (?, ?)"));
    for (qsizetype i = 0; i < sites.size(); ++i) {
        q.addBindValue(int(i));
        q.addBindValue(notNull(sites.at(i)));
        if (!q.exec())
            return fail(QStringLiteral("saving the sites"), q.lastError().text());
    }
    return transaction.commit() || fail(QStringLiteral("saving the sites"), db.lastError().text());
}

bool PartnerStore::recordCheck(qint64 partnerId, const CheckRecord &record, PartnerState *after)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    StoreTransaction transaction(db, m_inBatch);
    if (!transaction.ok())
        return fail(QStringLiteral("storing a check"), db.lastError().text());
    QSqlQuery &read = prepared(
        QStringLiteral("SELECT verdict, failing_since, previous_verdict, verdict_since FROM partners WHERE id = ?"));
    read.bindValue(0, partnerId);
    if (!read.exec() || !read.next())
        return fail(QStringLiteral("storing a check"), QStringLiteral("no partner %1").arg(partnerId));
    const QString oldVerdict = read.value(0).isNull() ? QString() : read.value(0).toString();
    qint64 failingSince = read.value(1).toLongLong();
    const QString previousVerdict = read.value(2).isNull() ? QString() : read.value(2).toString();
    const qint64 verdictSince = read.value(3).toLongLong();
    read.finish();

    const Verdict verdict = deriveVerdict(record);
    const QString name = verdictName(verdict);
    const qint64 at = record.checkedAt;
    QSqlQuery &insert = prepared(QStringLiteral(
        "INSERT INTO checks (partner_id, checked_at, verdict, http_status, final_address,"
        " link_found, rel, anchor_text, robots, record) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QVariant checkValues[] = {partnerId,
                                    at,
                                    name,
                                    record.httpStatus,
                                    notNull(record.finalAddress),
                                    record.linkFound ? 1 : 0,
                                    notNull(record.rel.join(u' ')),
                                    notNull(record.anchorText),
                                    notNull(record.robots.join(u' ')),
                                    recordToJson(record)};
    for (int i = 0; i < int(std::size(checkValues)); ++i)
        insert.bindValue(i, checkValues[i]);
    if (!insert.exec())
        return fail(QStringLiteral("storing a check"), insert.lastError().text());

    failingSince = verdict == Verdict::Live ? 0 : (failingSince ? failingSince : at);
    const bool lost = failingSince && at - failingSince >= LostAfterMs;
    const bool changed = oldVerdict != name;
    QSqlQuery &update = prepared(QStringLiteral(
        "UPDATE partners SET verdict = ?, last_checked_at = ?, failing_since = ?, lost = ?,"
        " previous_verdict = CASE WHEN ? THEN verdict ELSE previous_verdict END,"
        " verdict_since = CASE WHEN ? THEN ? ELSE verdict_since END WHERE id = ?"));
    const QVariant partnerValues[] = {name, at, failingSince, lost ? 1 : 0, changed ? 1 : 0, changed ? 1 : 0, at, partnerId};
    for (int i = 0; i < int(std::size(partnerValues)); ++i)
        update.bindValue(i, partnerValues[i]);
    if (!update.exec())
        return fail(QStringLiteral("storing a check"), update.lastError().text());
    if (changed) {
        QSqlQuery &change = prepared(QStringLiteral(
            "INSERT INTO status_changes (partner_id, changed_at, what, old_value, new_value) VALUES (?, ?, 'verdict', ?, ?)"));
        const QVariant changeValues[] = {partnerId, at, notNull(oldVerdict), name};
        for (int i = 0; i < int(std::size(changeValues)); ++i)
            change.bindValue(i, changeValues[i]);
        if (!change.exec())
            return fail(QStringLiteral("storing a check"), change.lastError().text());
    }
    if (!transaction.commit())
        return fail(QStringLiteral("storing a check"), db.lastError().text());
    if (after) {
        after->partner.id = partnerId;
        after->verdict = verdict;
        const QString previous = changed ? oldVerdict : previousVerdict;
        after->previousVerdict = previous.isEmpty() ? std::nullopt : verdictFromName(previous);
        after->verdictSince = changed ? at : verdictSince;
        after->lastCheckedAt = at;
        after->failingSince = failingSince;
        after->lost = lost;
    }
    return true;
}

QList<StoredCheck> PartnerStore::checks(qint64 partnerId) const
{
    QList<StoredCheck> out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT verdict, record, checked_at FROM checks WHERE partner_id = ?"
                             " ORDER BY checked_at DESC, id DESC"));
    q.addBindValue(partnerId);
    if (!q.exec())
        return out;
    while (q.next()) {
        StoredCheck c;
        c.partnerId = partnerId;
        c.verdict = verdictFromName(q.value(0).toString()).value_or(Verdict::Unreachable);
        c.record = recordFromJson(q.value(1).toString());
        c.record.checkedAt = q.value(2).toLongLong();
        out.append(c);
    }
    return out;
}

QList<StatusChange> PartnerStore::changes(qint64 partnerId) const
{
    QList<StatusChange> out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT changed_at, what, old_value, new_value FROM status_changes WHERE partner_id = ?"
                             " ORDER BY changed_at DESC, id DESC"));
    q.addBindValue(partnerId);
    if (!q.exec())
        return out;
    while (q.next())
        out.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()});
    return out;
}

int PartnerStore::checkCount() const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM checks")) || !q.next())
        return 0;
    return q.value(0).toInt();
}

QString PartnerStore::recordToJson(const CheckRecord &r)
{
    QJsonObject o;
    o.insert(QStringLiteral("answered"), r.answered);
    o.insert(QStringLiteral("error"), r.error);
    o.insert(QStringLiteral("attempts"), r.attempts);
    o.insert(QStringLiteral("httpStatus"), r.httpStatus);
    o.insert(QStringLiteral("finalAddress"), r.finalAddress);
    o.insert(QStringLiteral("redirects"), toArray(r.redirects));
    o.insert(QStringLiteral("movedOffSite"), r.movedOffSite);
    o.insert(QStringLiteral("linkFound"), r.linkFound);
    o.insert(QStringLiteral("linkAddress"), r.linkAddress);
    o.insert(QStringLiteral("rel"), toArray(r.rel));
    o.insert(QStringLiteral("anchorText"), r.anchorText);
    o.insert(QStringLiteral("anchorMatches"), r.anchorMatches);
    o.insert(QStringLiteral("robots"), toArray(r.robots));
    o.insert(QStringLiteral("canonical"), r.canonical);
    o.insert(QStringLiteral("parked"), r.parked);
    o.insert(QStringLiteral("soft404"), r.soft404);
    o.insert(QStringLiteral("renderedChecked"), r.renderedChecked);
    o.insert(QStringLiteral("scriptOnly"), r.scriptOnly);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

CheckRecord PartnerStore::recordFromJson(const QString &json)
{
    const QJsonObject o = QJsonDocument::fromJson(json.toUtf8()).object();
    CheckRecord r;
    r.answered = o.value(QStringLiteral("answered")).toBool();
    r.error = o.value(QStringLiteral("error")).toString();
    r.attempts = o.value(QStringLiteral("attempts")).toInt();
    r.httpStatus = o.value(QStringLiteral("httpStatus")).toInt();
    r.finalAddress = o.value(QStringLiteral("finalAddress")).toString();
    r.redirects = fromArray(o.value(QStringLiteral("redirects")));
    r.movedOffSite = o.value(QStringLiteral("movedOffSite")).toBool();
    r.linkFound = o.value(QStringLiteral("linkFound")).toBool();
    r.linkAddress = o.value(QStringLiteral("linkAddress")).toString();
    r.rel = fromArray(o.value(QStringLiteral("rel")));
    r.anchorText = o.value(QStringLiteral("anchorText")).toString();
    r.anchorMatches = o.value(QStringLiteral("anchorMatches")).toBool(true);
    r.robots = fromArray(o.value(QStringLiteral("robots")));
    r.canonical = o.value(QStringLiteral("canonical")).toString();
    r.parked = o.value(QStringLiteral("parked")).toBool();
    r.soft404 = o.value(QStringLiteral("soft404")).toBool();
    r.renderedChecked = o.value(QStringLiteral("renderedChecked")).toBool();
    r.scriptOnly = o.value(QStringLiteral("scriptOnly")).toBool();
    return r;
}

}  // namespace quorvane
