#pragma once

#include <QByteArrayView>
#include <QDateTime>

#include <optional>

namespace quorvane {

// The delay a Retry-After field asks for, in whole seconds from now: either
// delta-seconds ("120") or an HTTP-date (IMF-fixdate, the obsolete RFC 850
// form or asctime's), which counts from now. A date already past is 0; a
// delay past capSeconds is capSeconds, so that a server cannot park a page
// for days. Nothing for an empty or malformed value.
std::optional<int> retryAfterSeconds(QByteArrayView value, const QDateTime &now, int capSeconds);

// An HTTP-date in any of its three forms, as UTC; invalid when malformed.
QDateTime parseHttpDate(QByteArrayView value);

}  // namespace quorvane
