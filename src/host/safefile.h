#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

// Writes data to path whole or not at all: on any failure (full disk,
// read-only folder, missing folder) the previous content stays and false is
// returned, with the reason in error when given. The folder is synced after
// the rename so the new name survives a crash.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);

}  // namespace quorvane
