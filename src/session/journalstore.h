#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// What a session held: lists by name and single values by name.
struct SessionImage {
    QHash<QString, QStringList> lists;
    QHash<QString, QString> values;
    bool isEmpty() const { return lists.isEmpty() && values.isEmpty(); }
    // Adds what other holds, replacing entries of the same name.
    void merge(const SessionImage &other);
};

// The session journal's database: one SQLite file in WAL mode holding, per
// session, the latest image of each list and value, and whether the session
// ended cleanly. Every write is one transaction, so a crash leaves the last
// committed image whole. Not thread-bound, but one store is used from one
// thread only (Qt's database connections are per thread).
class JournalStore final {
public:
    struct Session {
        qint64 id = 0;
        QDateTime started;
        bool closed = false;    // ended with a clean shutdown
        bool declined = false;  // the user chose not to restore it once
    };

    explicit JournalStore(QString path);
    ~JournalStore();
    JournalStore(const JournalStore &) = delete;
    JournalStore &operator=(const JournalStore &) = delete;

    // Opens or creates the file. A file that is no journal, or a damaged one,
    // is moved aside (".damaged" appended) and a new one started; error then
    // says so. False only when no journal can be kept at all.
    bool open(QString *error);
    bool isOpen() const { return m_open; }
    QString path() const { return m_path; }

    qint64 beginSession();
    bool write(qint64 session, const SessionImage &changes);
    bool markClosed(qint64 session);
    bool markDeclined(qint64 session);
    // Every session, newest first.
    QList<Session> sessions() const;
    SessionImage load(qint64 session) const;
    // Removes every session but those kept.
    bool keepOnly(const QList<qint64> &sessions);
    QString lastError() const { return m_error; }

    static QByteArray encodeList(const QStringList &items);
    static std::optional<QStringList> decodeList(const QByteArray &bytes);

private:
    bool exec(const QString &sql);
    bool createSchema();

    QString m_path;
    QString m_connection;
    bool m_open = false;
    mutable QString m_error;
};

}  // namespace quorvane
