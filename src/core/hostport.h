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
        return fail(QStringLiteral("\"%1\" is not HOST[:PORT]").arg(value.left(80)));
    // DNS limits: 253 characters in all, 63 in a label; an empty label
    // ("a..b") names no host either.
    if (const QString host = match.captured(1); !host.isEmpty()) {
        if (host.size() > 253)
            return fail(QStringLiteral("the host name is longer than 253 characters"));
        for (const QStringView label : QStringView(host).split(u'.')) {
            if (label.isEmpty() || label.size() > 63)
                return fail(QStringLiteral("\"%1\" is not a host name (labels of 1 to 63 characters)").arg(host.left(80)));
        }
    }
    if (match.hasCaptured(3)) {
        bool ok = false;
        const int port = match.captured(3).toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return fail(QStringLiteral("port \"%1\" is not between 1 and 65535").arg(match.captured(3)));
    }
    return true;
}

}  // namespace quorvane
