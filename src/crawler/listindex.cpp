#include "listindex.h"

#include "core/listcontrol.h"

namespace quorvane {

void ListIndex::sync()
{
    if (m_revision == m_list.revision())
        return;
    const QStringList &items = m_list.items();
    m_items = QSet<QString>(items.cbegin(), items.cend());
    m_revision = m_list.revision();
}

bool ListIndex::contains(const QString &item)
{
    sync();
    return m_items.contains(item);
}

void ListIndex::add(ListControl &list, const QString &item)
{
    sync();
    list.add(item);
    m_items.insert(item);
    m_revision = list.revision();
}

void ListIndex::removeAll(ListControl &list, const QString &item)
{
    sync();
    if (!m_items.contains(item))
        return;
    for (int at = list.indexOf(item); at >= 0; at = list.indexOf(item, at))
        list.removeAt(at);
    m_items.remove(item);
    m_revision = list.revision();
}

}  // namespace quorvane
