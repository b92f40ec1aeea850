#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

// Decodes a response body the way a browser picks its encoding: a byte-order mark,
// then the charset of the Content-Type header, then a <meta> charset within the
// first 1024 bytes, then Windows-1252. Unknown labels are skipped, and invalid
// bytes become replacement characters.
QString decodeBody(const QByteArray &body, const QByteArray &contentType);

}  // namespace quorvane
