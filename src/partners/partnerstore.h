#pragma once

#include "checkrecord.h"
#include "partner.h"
#include "verdict.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QSqlQuery;
class QVariant;

namespace quorvane {

// A partner with what its checks say so far.
struct PartnerState {
    Partner partner;
    std::optional<Verdict> verdict;          // none until the first check
    std::optional<Verdict> previousVerdict;  // the verdict before the latest change
    qint64 verdictSince = 0;
    qint64 lastCheckedAt = 0;
    qint64 failingSince = 0;  // first of the unbroken run of checks that were not live; 0 when live
    bool lost = false;        // not live on checks at least LostAfterMs apart
    // The latest check changed the verdict.
    bool changedOnLastCheck() const { return verdict && previousVerdict && verdictSince == lastCheckedAt; }
};

struct StoredCheck {
    qint64 partnerId = 0;
    Verdict verdict = Verdict::Unreachable;
    CheckRecord record;
};

struct StatusChange {
    qint64 at = 0;
    QString what;  // "verdict" or "outreach"
    QString from;
    QString to;
};

// The partners, the user's sites, every check and every status change, in an
// SQLite file. Every write is one transaction; the file is in WAL mode, so
// a crash loses at most the write under way.
class PartnerStore final {
public:
    static constexpr int SchemaVersion = 2;
    // A partner is lost when its failure holds on two checks this far apart.
    static constexpr qint64 LostAfterMs = 60LL * 60 * 1000;
    static constexpr const char *FileName = "partners.sqlite";

    PartnerStore();
    ~PartnerStore();
    PartnerStore(const PartnerStore &) = delete;
    PartnerStore &operator=(const PartnerStore &) = delete;

    // Opens or creates the file and brings its schema up to date.
    bool open(const QString &path, QString *error);
    bool isOpen() const;
    QString lastError() const { return m_error; }

    QList<PartnerState> partners() const;  // in the order added
    std::optional<PartnerState> partner(qint64 id) const;
    std::optional<PartnerState> partnerByPage(const QString &page) const;

    // A new partner; fails on a page already listed.
    std::optional<qint64> addPartner(const Partner &partner, qint64 nowMs);
    // Page, site, anchor, note and outreach; an outreach change is recorded.
    bool updatePartner(const Partner &partner, qint64 nowMs);
    // Removing keeps the partner's history so that it can be restored.
    bool removePartner(qint64 id);
    bool restorePartner(qint64 id);

    QStringList sites() const;
    bool setSites(const QStringList &sites);

    // Stores one check and what it changes about the partner; after, when
    // given, gets the partner's verdict fields as stored (its id, not the rest
    // of the partner).
    bool recordCheck(qint64 partnerId, const CheckRecord &record, PartnerState *after = nullptr);
    QList<StoredCheck> checks(qint64 partnerId) const;  // newest first
    QList<StatusChange> changes(qint64 partnerId) const;  // newest first
    int checkCount() const;

    // Moves the log into the file; after a run, when nothing waits on it.
    void checkpoint();

    // For building large stores in one go (benchmarks, imports).
    bool begin();
    bool commit();

    static QString recordToJson(const CheckRecord &record);
    static CheckRecord recordFromJson(const QString &json);

private:
    bool exec(const QString &sql);
    bool migrate();
    bool fail(const QString &what, const QString &why) const;
    // The partner, not removed, whose column holds value.
    std::optional<PartnerState> partnerWhere(const char *column, const QVariant &value) const;
    // A statement parsed once per connection: a check run stores one check a page.
    QSqlQuery &prepared(const QString &sql);

    struct Statements;
    std::unique_ptr<Statements> m_statements;
    QString m_connection;
    mutable QString m_error;
    bool m_inBatch = false;
};

}  // namespace quorvane
