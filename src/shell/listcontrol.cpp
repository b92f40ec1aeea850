#include "listcontrol.h"

#include <algorithm>

namespace quorvane {

namespace {
bool lessIgnoringCase(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}
}  // namespace

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
        const auto at = std::upper_bound(m_items.begin(), m_items.end(), item, lessIgnoringCase);
        const int index = int(at - m_items.begin());
        m_items.insert(index, item);
        if (m_selected >= index)
            ++m_selected;
    }
    changed();
}

void ListControl::insert(int index, const QString &item)
{
    flush();
    m_items.insert(std::clamp(index, 0, int(m_items.size())), item);
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
    if (m_selected == index)
        m_selected = -1;
    else if (m_selected > index)
        --m_selected;
    changed();
}

void ListControl::clear()
{
    m_items.clear();
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
    // Stable: equal entries keep the order they were added in, after older ones.
    std::stable_sort(m_pending.begin(), m_pending.end(), lessIgnoringCase);
    QStringList merged;
    merged.reserve(m_items.size() + m_pending.size());
    std::merge(m_items.cbegin(), m_items.cend(), m_pending.cbegin(), m_pending.cend(),
               std::back_inserter(merged), lessIgnoringCase);
    m_items = std::move(merged);
    m_pending.clear();
}

void ListControl::changed()
{
    ++m_revision;
    if (m_notify)
        m_notify();
}

}  // namespace quorvane
