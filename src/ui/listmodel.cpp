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
    if (role == Qt::DisplayRole)
        return m_items.at(index.row());
    // Tool tips guess at rich text: entries from pages are shown escaped, as written.
    if (role == Qt::ToolTipRole)
        return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(m_items.at(index.row()).toHtmlEscaped());
    return {};
}

}  // namespace quorvane
