#include "itemtable.h"

#include "shoppages.h"

namespace quorvane {

namespace {
constexpr int ColumnCount = 5;
}  // namespace

const QStringList &itemTableColumns()
{
    static const QStringList columns = [] {
        QStringList names = itemTableCells(shoppages::headerLine());
        for (QString &name : names)
            name = name.trimmed();
        return names;
    }();
    return columns;
}

QStringList itemTableCells(const QString &entry)
{
    QStringList cells;
    qsizetype start = 0;
    for (int column = 0; column < ColumnCount; ++column) {
        if (start > entry.size()) {
            cells.append(QString());
            continue;
        }
        const qsizetype comma = entry.indexOf(QLatin1Char(','), start);
        if (comma < 0) {
            cells.append(entry.mid(start));
            start = entry.size() + 1;
            continue;
        }
        const bool last = column == ColumnCount - 1;
        if (last && !entry.mid(comma + 1).trimmed().isEmpty()) {
            cells.append(entry.mid(start));  // more fields than columns: show them all
            break;
        }
        cells.append(entry.mid(start, comma - start));
        start = comma + 1;
    }
    return cells;
}

}  // namespace quorvane
