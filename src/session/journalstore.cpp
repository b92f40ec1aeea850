#include "journalstore.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QtEndian>

namespace quorvane {

namespace {
constexpr int SchemaVersion = 1;
// Longer entries are no list entry of this program: a damaged row.
constexpr quint32 MaxEntryBytes = 64u * 1024 * 1024;

const char *const schema[] = {
    "CREATE TABLE sessions (id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL,"
    " closed INTEGER NOT NULL DEFAULT 0, declined INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE lists (session INTEGER NOT NULL, name TEXT NOT NULL, items BLOB NOT NULL,"
    " PRIMARY KEY (session, name))",
    "CREATE TABLE vals (session INTEGER NOT NULL, name TEXT NOT NULL, value TEXT NOT NULL,"
    " PRIMARY KEY (session, name))",
};
}  // namespace

void SessionImage::merge(const SessionImage &other)
{
    for (auto it = other.lists.cbegin(); it != other.lists.cend(); ++it)
        lists.insert(it.key(), it.value());
    for (auto it = other.values.cbegin(); it != other.values.cend(); ++it)
        values.insert(it.key(), it.value());
}

JournalStore::JournalStore(QString path)
    : m_path(std::move(path)), m_connection(QStringLiteral("journal-%1").arg(quintptr(this)))
{
}

JournalStore::~JournalStore()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QByteArray JournalStore::encodeList(const QStringList &items)
{
    // Length-prefixed UTF-8: any text, line breaks and NULs included, reads back exactly.
    QByteArray bytes;
    for (const QString &item : items) {
        const QByteArray utf8 = item.toUtf8();
        const quint32 size = qToBigEndian(quint32(utf8.size()));
        bytes.append(reinterpret_cast<const char *>(&size), sizeof size);
        bytes.append(utf8);
    }
    return bytes;
}

std::optional<QStringList> JournalStore::decodeList(const QByteArray &bytes)
{
    QStringList items;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < qsizetype(sizeof(quint32)))
            return std::nullopt;
        const quint32 size = qFromBigEndian<quint32>(bytes.constData() + at);
        at += sizeof(quint32);
        if (size > MaxEntryBytes || qsizetype(size) > bytes.size() - at)
            return std::nullopt;
        items.append(QString::fromUtf8(bytes.constData() + at, size));
        at += size;
    }
    return items;
}

bool JournalStore::exec(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (query.exec(sql))
        return true;
    m_error = query.lastError().text();
    return false;
}

bool JournalStore::createSchema()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return false;
    for (const char *sql : schema) {
        if (!exec(QString::fromLatin1(sql))) {
            db.rollback();
            return false;
        }
    }
    if (!exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion)) || !db.commit()) {
        db.rollback();
        return false;
    }
    return true;
}

bool JournalStore::open(QString *error)
{
    QString damaged;
    for (int attempt = 0; attempt < 2; ++attempt) {
        {
            QSqlDatabase db = QSqlDatabase::contains(m_connection) ? QSqlDatabase::database(m_connection, false)
                                                                   : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
            db.setDatabaseName(m_path);
            if (db.open()) {
                QSqlQuery check(db);
                // A crash between two writes never damages the file; anything
                // else that does (a foreign file, a disk fault) is set aside.
                const bool sound = check.exec(QStringLiteral("PRAGMA quick_check")) && check.next()
                                && check.value(0).toString() == QLatin1String("ok");
                check.finish();
                QSqlQuery version(db);
                const int found = sound && version.exec(QStringLiteral("PRAGMA user_version")) && version.next()
                                    ? version.value(0).toInt()
                                    : -1;
                version.finish();
                if (found == SchemaVersion || (found == 0 && createSchema())) {
                    exec(QStringLiteral("PRAGMA journal_mode = WAL"));
                    // In WAL mode a committed write survives a crash of the
                    // program with NORMAL; only a power cut may take the last ones.
                    exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
                    m_open = true;
                    if (error)
                        *error = damaged;
                    return true;
                }
                db.close();
            } else {
                m_error = db.lastError().text();
            }
        }
        if (attempt == 1 || !QFile::exists(m_path))
            break;
        // Keep the unreadable file for whoever wants to look at it.
        const QString aside = m_path + QStringLiteral(".damaged");
        QFile::remove(aside);
        if (!QFile::rename(m_path, aside))
            break;
        QFile::remove(m_path + QStringLiteral("-wal"));
        QFile::remove(m_path + QStringLiteral("-shm"));
        damaged = QStringLiteral("The session journal %1 could not be read; it was kept as %2.").arg(m_path, aside);
    }
    if (error)
        *error = QStringLiteral("The session journal %1 cannot be used: %2").arg(m_path, m_error);
    return false;
}

qint64 JournalStore::beginSession()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT INTO sessions (started) VALUES (?)"));
    query.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    if (!query.exec()) {
        m_error = query.lastError().text();
        return 0;
    }
    return query.lastInsertId().toLongLong();
}

bool JournalStore::write(qint64 session, const SessionImage &changes)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction()) {
        m_error = db.lastError().text();
        return false;
    }
    QSqlQuery list(db);
    list.prepare(QStringLiteral("INSERT OR REPLACE INTO lists (session, name, items) VALUES (?, ?, ?)"));
    QSqlQuery value(db);
    value.prepare(QStringLiteral("INSERT OR REPLACE INTO vals (session, name, value) VALUES (?, ?, ?)"));
    bool ok = true;
    for (auto it = changes.lists.cbegin(); ok && it != changes.lists.cend(); ++it) {
        list.bindValue(0, session);
        list.bindValue(1, it.key());
        // An empty list is an empty blob, not NULL.
        const QByteArray blob = encodeList(it.value());
        list.bindValue(2, blob.isNull() ? QByteArray("") : blob);
        ok = list.exec();
        if (!ok)
            m_error = list.lastError().text();
    }
    for (auto it = changes.values.cbegin(); ok && it != changes.values.cend(); ++it) {
        value.bindValue(0, session);
        value.bindValue(1, it.key());
        value.bindValue(2, it.value().isNull() ? QStringLiteral("") : it.value());
        ok = value.exec();
        if (!ok)
            m_error = value.lastError().text();
    }
    if (ok && db.commit())
        return true;
    if (ok)
        m_error = db.lastError().text();
    db.rollback();
    return false;
}

bool JournalStore::markClosed(qint64 session)
{
    return exec(QStringLiteral("UPDATE sessions SET closed = 1 WHERE id = %1").arg(session));
}

bool JournalStore::markDeclined(qint64 session)
{
    return exec(QStringLiteral("UPDATE sessions SET declined = 1 WHERE id = %1").arg(session));
}

QList<JournalStore::Session> JournalStore::sessions() const
{
    QList<Session> found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("SELECT id, started, closed, declined FROM sessions ORDER BY id DESC")))
        return found;
    while (query.next()) {
        Session s;
        s.id = query.value(0).toLongLong();
        s.started = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
        s.closed = query.value(2).toInt() != 0;
        s.declined = query.value(3).toInt() != 0;
        found.append(s);
    }
    return found;
}

SessionImage JournalStore::load(qint64 session) const
{
    SessionImage image;
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery lists(db);
    lists.prepare(QStringLiteral("SELECT name, items FROM lists WHERE session = ?"));
    lists.addBindValue(session);
    if (lists.exec()) {
        while (lists.next()) {
            // A damaged row is left out rather than restored half.
            if (std::optional<QStringList> items = decodeList(lists.value(1).toByteArray()))
                image.lists.insert(lists.value(0).toString(), *items);
        }
    }
    QSqlQuery values(db);
    values.prepare(QStringLiteral("SELECT name, value FROM vals WHERE session = ?"));
    values.addBindValue(session);
    if (values.exec()) {
        while (values.next())
            image.values.insert(values.value(0).toString(), values.value(1).toString());
    }
    return image;
}

bool JournalStore::keepOnly(const QList<qint64> &sessions)
{
    QStringList ids;
    for (qint64 id : sessions)
        ids.append(QString::number(id));
    const QString keep = ids.isEmpty() ? QStringLiteral("-1") : ids.join(QLatin1Char(','));
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return false;
    const bool ok = exec(QStringLiteral("DELETE FROM lists WHERE session NOT IN (%1)").arg(keep))
                 && exec(QStringLiteral("DELETE FROM vals WHERE session NOT IN (%1)").arg(keep))
                 && exec(QStringLiteral("DELETE FROM sessions WHERE id NOT IN (%1)").arg(keep));
    if (ok && db.commit())
        return true;
    db.rollback();
    return false;
}

}  // namespace quorvane
