#pragma once

#include "checkwriter.h"
#include "partnerchecker.h"
#include "partnerscsv.h"
#include "partnerstore.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace quorvane {

class PageFetcher;
class RenderedLinks;
class Timer;

// What the Partners window works on: the partners with their current
// verdicts, the user's sites, check runs and the undo of a removal. Every
// change goes to the store at once.
class PartnerList final : public QObject {
    Q_OBJECT
public:
    PartnerList(PartnerStore &store, PageFetcher &fetcher, Timer &wake, std::function<qint64()> now,
                QObject *parent = nullptr);
    ~PartnerList() override;

    void reload();
    const QList<PartnerState> &rows() const { return m_rows; }
    int rowOf(qint64 id) const;

    // Each returns an error message, empty on success.
    QString add(const QString &page, const QString &site = {}, const QString &anchor = {},
                Outreach outreach = Outreach::Found, const QString &note = {});
    QString edit(const Partner &partner);
    QString remove(qint64 id);
    QString undoRemove();
    bool canUndo() const { return !m_removed.isEmpty(); }

    QStringList sites() const { return m_store.sites(); }
    QString setSites(const QStringList &sites);

    void checkAll();
    void check(const QList<qint64> &ids);
    void cancel();
    bool running() const { return m_checker.running(); }
    int checkedCount() const { return m_checker.finishedCount(); }
    int checkTotal() const { return m_checker.total(); }
    void setRenderedLinks(RenderedLinks *rendered) { m_checker.setRenderedLinks(rendered); }
    void setOffload(PartnerChecker::Offload offload) { m_checker.setOffload(std::move(offload)); }
    // Where checks are stored; null: into the list's store at once.
    void setWriter(CheckWriter *writer);

    // Over the current verdicts: "212 live, 3 not followed, ..."
    QString summary() const;
    QList<StoredCheck> history(qint64 id) const { return m_store.checks(id); }
    QList<StatusChange> changes(qint64 id) const { return m_store.changes(id); }

    ImportOutcome importCsv(const QString &path);
    QString exportCsv(const QString &path) const;

signals:
    void rowsChanged();
    void rowChanged(int row);
    void progress(int finished, int total);
    void runFinished(bool cancelled);
    // A check could not be stored (a full disk, a locked file).
    void storeFailed(const QString &why);

private:
    void onStored(qint64 partnerId, const PartnerState &after);

    PartnerStore &m_store;
    StoreCheckWriter m_storeWriter;
    CheckWriter *m_writer = nullptr;
    std::function<qint64()> m_now;
    PartnerChecker m_checker;
    QList<PartnerState> m_rows;
    QList<qint64> m_removed;  // newest last
};

}  // namespace quorvane
