#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace quorvane {

// An ordered list of strings, as the window's list and combo boxes hold them.
// A sorted list keeps its entries in ascending order ignoring case; entries
// added to it are buffered and merged at the next read, so that filling it
// with thousands of entries costs one sort rather than one shift per entry.
class ListControl final {
public:
    ListControl(QString name, bool sorted, std::function<void()> notify = {});

    const QString &name() const { return m_name; }
    bool sorted() const { return m_sorted; }

    int count() const { return int(m_items.size() + m_pending.size()); }
    bool isEmpty() const { return count() == 0; }
    // The entry at index, or an empty string outside the list.
    QString at(int index) const;
    const QStringList &items() const;

    // Appends, or inserts at the sorted place for a sorted list.
    void add(const QString &item);
    // Inserts at index (clamped to the list), whatever the sort order.
    void insert(int index, const QString &item);
    void removeAt(int index);
    void clear();
    // Exact, case-sensitive search; -1 when absent.
    int indexOf(const QString &item, int from = 0) const;
    bool contains(const QString &item) const { return indexOf(item) >= 0; }
    // Replaces every entry at once (keeps the sort order of a sorted list).
    void setItems(const QStringList &items);

    int selected() const { return m_selected; }
    void setSelected(int index);
    QString selectedText() const { return at(m_selected); }

    // Bumped by every change; views compare it to know when to refresh.
    quint64 revision() const { return m_revision; }

private:
    void flush() const;
    void changed();

    QString m_name;
    bool m_sorted;
    std::function<void()> m_notify;
    mutable QStringList m_items;
    // Sorted lists: the case-folded sort key of each entry, in step with m_items.
    mutable QStringList m_keys;
    mutable QStringList m_pending;
    int m_selected = -1;
    quint64 m_revision = 0;
};

}  // namespace quorvane
