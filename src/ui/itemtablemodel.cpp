#include "itemtablemodel.h"

#include "sitegen/itemtable.h"

namespace quorvane {

void ItemTableModel::setEntries(const QStringList &entries)
{
    beginResetModel();
    m_entries = entries;
    m_cells.clear();
    m_cells.reserve(entries.size());
    for (const QString &entry : entries)
        m_cells.append(itemTableCells(entry));
    endResetModel();
}

int ItemTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int ItemTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(itemTableColumns().size());
}

QVariant ItemTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_cells.at(index.row()).value(index.column());
    // Tool tips guess at rich text: the entry, from a profile file too, is shown escaped, as written.
    if (role == Qt::ToolTipRole)
        return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(m_entries.at(index.row()).toHtmlEscaped());
    return {};
}

QVariant ItemTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return itemTableColumns().value(section);
    return section;  // entry numbers, as the automation counts them
}

}  // namespace quorvane
