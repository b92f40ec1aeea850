#pragma once

#include <QSet>
#include <QString>

namespace quorvane {

class ListControl;

// A hash of one list's entries kept beside it, so that exact membership
// tests cost O(1) instead of a scan (and a merge of a sorted list's pending
// adds). Other code changes the list too: the index notices through the
// list's revision and rebuilds itself before the next test.
class ListIndex final {
public:
    explicit ListIndex(const ListControl &list) : m_list(list) {}

    bool contains(const QString &item);
    // Adds item to the list and to the index.
    void add(ListControl &list, const QString &item);
    // Drops every entry equal to item from the list.
    void removeAll(ListControl &list, const QString &item);

private:
    void sync();

    const ListControl &m_list;
    QSet<QString> m_items;
    quint64 m_revision = ~quint64(0);
};

}  // namespace quorvane
