#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace quorvane {

// A read-only snapshot of one list control for a view. The snapshot is an
// implicitly shared copy, so taking it is cheap even for 32,767 entries; the
// window replaces it whenever the list's revision moves.
class ListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setItems(const QStringList &items, quint64 revision);
    quint64 revision() const { return m_revision; }
    bool hasSnapshot() const { return m_hasSnapshot; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QStringList m_items;
    quint64 m_revision = 0;
    bool m_hasSnapshot = false;
};

}  // namespace quorvane
