#pragma once

#include <QRegularExpression>
#include <QString>

namespace quorvane {

// Checks a HOST[:PORT] setting: a host name, an IPv4 address or a bracketed
// IPv6 address, then an optional port from 1 to 65535. On failure, error says why.
inline bool isValidHostPort(const QString &value, QString *error = nullptr)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(?:([A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?)|\\[([0-9A-Fa-f:.]+)\\])(?::([0-9]+))?$"));
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (value.isEmpty())
        return fail(QStringLiteral("the host is empty"));
    const QRegularExpressionMatch match = pattern.match(value);
    if (!match.hasMatch())
        return fail(QStringLiteral("\"%1\" is not HOST[:PORT]").arg(value));
    if (match.hasCaptured(3)) {
        bool ok = false;
        const int port = match.captured(3).toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return fail(QStringLiteral("port \"%1\" is not between 1 and 65535").arg(match.captured(3)));
    }
    return true;
}

}  // namespace quorvane
