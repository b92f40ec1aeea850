#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

// Writes data to path whole or not at all: on any failure (full disk,
// read-only folder, missing folder) the previous content stays and false is
// returned. The folder is synced after the rename so the new name survives a crash.
// error, when given, receives the reason of a failure.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);

}  // namespace quorvane
