#include "sitelist.h"

namespace quorvane {

QVector<SiteEntry> parseSiteList(const QString &text)
{
    QVector<SiteEntry> entries;
    const qsizetype length = text.size();
    qsizetype position = 0;
    for (;;) {
        // Both searches start one character on, so a name and an address are
        // never cut at their own first character.
        const qsizetype open = text.indexOf(QLatin1Char('<'), position + 1);
        if (open < 0)
            break;
        const QString name = text.mid(position, open - position);
        position = open + 1;
        const qsizetype close = text.indexOf(QLatin1Char('>'), position + 1);
        if (close < 0)
            break;
        entries.append({name, text.mid(position, close - position)});
        position = close + 1;
        if (position + 1 + 4 > length)
            break;
    }
    return entries;
}

}  // namespace quorvane
