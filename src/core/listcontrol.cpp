#include "listcontrol.h"

#include "casefold.h"

#include <algorithm>
#include <vector>

namespace quorvane {

ListControl::ListControl(QString name, bool sorted, std::function<void()> notify)
    : m_name(std::move(name)), m_sorted(sorted), m_notify(std::move(notify))
{
}

QString ListControl::at(int index) const
{
    flush();
    return index >= 0 && index < m_items.size() ? m_items.at(index) : QString();
}

const QStringList &ListControl::items() const
{
    flush();
    return m_items;
}

void ListControl::add(const QString &item)
{
    if (!m_sorted) {
        m_items.append(item);
    } else if (m_selected < 0) {
        m_pending.append(item);
    } else {
        // Keep the selection on its entry: place this one at once.
        flush();
        const QString key = foldCase(item);
        const int index = int(std::upper_bound(m_keys.cbegin(), m_keys.cend(), key) - m_keys.cbegin());
        m_items.insert(index, item);
        m_keys.insert(index, key);
        if (m_selected >= index)
            ++m_selected;
    }
    changed();
}

void ListControl::insert(int index, const QString &item)
{
    flush();
    index = std::clamp(index, 0, int(m_items.size()));
    m_items.insert(index, item);
    if (m_sorted)
        m_keys.insert(index, foldCase(item));
    if (m_selected >= index)
        ++m_selected;
    changed();
}

void ListControl::removeAt(int index)
{
    flush();
    if (index < 0 || index >= m_items.size())
        return;
    m_items.removeAt(index);
    if (m_sorted)
        m_keys.removeAt(index);
    if (m_selected == index)
        m_selected = -1;
    else if (m_selected > index)
        --m_selected;
    changed();
}

void ListControl::clear()
{
    m_items.clear();
    m_keys.clear();
    m_pending.clear();
    m_selected = -1;
    changed();
}

int ListControl::indexOf(const QString &item, int from) const
{
    flush();
    return int(m_items.indexOf(item, std::max(from, 0)));
}

void ListControl::setItems(const QStringList &items)
{
    m_items.clear();
    m_keys.clear();
    m_pending = items;
    if (!m_sorted) {
        m_items = m_pending;
        m_pending.clear();
    }
    m_selected = -1;
    changed();
}

void ListControl::setSelected(int index)
{
    const int selected = index >= 0 && index < count() ? index : -1;
    if (selected == m_selected)
        return;
    m_selected = selected;
    changed();
}

void ListControl::flush() const
{
    if (m_pending.isEmpty())
        return;
    // Sort on case-folded keys computed once per entry: comparing ignoring case
    // on every step costs several times more for a harvest of thousands.
    struct Entry {
        QString key;
        QString item;
    };
    std::vector<Entry> pending;
    pending.reserve(m_pending.size());
    for (QString &item : m_pending)
        pending.push_back({foldCase(item), std::move(item)});
    m_pending.clear();
    // Stable: equal entries keep the order they were added in, after older ones.
    std::stable_sort(pending.begin(), pending.end(), [](const Entry &a, const Entry &b) { return a.key < b.key; });
    QStringList items, keys;
    items.reserve(m_items.size() + qsizetype(pending.size()));
    keys.reserve(items.capacity());
    qsizetype old = 0;
    for (Entry &entry : pending) {
        while (old < m_items.size() && !(entry.key < m_keys.at(old))) {
            items.append(m_items.at(old));
            keys.append(m_keys.at(old));
            ++old;
        }
        items.append(std::move(entry.item));
        keys.append(std::move(entry.key));
    }
    for (; old < m_items.size(); ++old) {
        items.append(m_items.at(old));
        keys.append(m_keys.at(old));
    }
    m_items = std::move(items);
    m_keys = std::move(keys);
}

void ListControl::changed()
{
    ++m_revision;
    if (m_notify)
        m_notify();
}

}  // namespace quorvane
