#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorvane {

// Whether the robots.txt text of a page's site keeps crawlers of every name
// ("*" group) from the page. An empty text allows everything.
bool robotsTxtDisallows(const QString &robotsText, const QString &page);

// A Retry-After value as a delay in ms from nowMs; nullopt when malformed.
std::optional<qint64> parseRetryAfterMs(const QByteArray &value, qint64 nowMs);

}  // namespace quorvane
