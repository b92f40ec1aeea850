#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace quorvane {

// Converts a "Description (*.a;*.b)|*.a;*.b|Other|*.c" filter into Qt name
// filters "Description (*.a *.b);;Other (*.c)". The patterns after each '|'
// are authoritative: they replace whatever the description shows in parentheses.
inline QString toQtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        const qsizetype close = description.lastIndexOf(QLatin1Char(')'));
        const bool hasParens = open >= 0 && close > open;
        if (patterns.isEmpty())
            patterns = hasParens ? description.mid(open + 1, close - open - 1) : description;
        QStringList list;
        for (const QString &p : patterns.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts))
            list.append(p);
        const QString joined = list.join(QLatin1Char(' '));
        if (hasParens)
            description = description.left(open).trimmed();
        if (description.isEmpty())
            description = joined;
        result.append(description + QStringLiteral(" (") + joined + QLatin1Char(')'));
    }
    return result.join(QStringLiteral(";;"));
}

}  // namespace quorvane
