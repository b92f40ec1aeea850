#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace quorvane {

// The generator's item list as a table: one row per entry, split into the
// header line's five columns for reading; the tool tip holds the entry whole.
class ItemTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(const QStringList &entries);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_entries;
    QList<QStringList> m_cells;
};

}  // namespace quorvane
