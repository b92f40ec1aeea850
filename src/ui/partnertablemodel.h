#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

namespace quorvane {

class PartnerList;

// The partners as table rows: the current verdict with its colour and
// icon, since when, lost, outreach and the partner's own fields. Every text
// is shown as plain text (item views never read markup).
class PartnerTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Page, Verdict, Since, Lost, Status, Site, Anchor, Note, LastCheck, ColumnCount };
    // The row's sort key and filter value, beside Qt::DisplayRole.
    static constexpr int SortRole = Qt::UserRole + 1;
    static constexpr int IdRole = Qt::UserRole + 2;

    explicit PartnerTableModel(PartnerList &list, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    PartnerList &m_list;
};

// Filters by verdict ("lost" for the lost ones) and by outreach status;
// empty filters pass everything.
class PartnerFilterModel final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setVerdictFilter(const QString &verdict);
    void setStatusFilter(const QString &status);
    QString verdictFilter() const { return m_verdict; }
    QString statusFilter() const { return m_status; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString m_verdict;
    QString m_status;
};

}  // namespace quorvane
