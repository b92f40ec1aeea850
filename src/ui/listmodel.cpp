#include "listmodel.h"

namespace quorvane {

void ListModel::setItems(const QStringList &items, quint64 revision)
{
    beginResetModel();
    m_items = items;
    endResetModel();
    m_revision = revision;
    m_hasSnapshot = true;
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_items.at(index.row());
    return {};
}

}  // namespace quorvane
