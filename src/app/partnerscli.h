#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// "quorvane partners ...": runs on a QCoreApplication already made, with
// libcurl transfers and Qt timers, and returns the exit code.
int runPartnersCli(const QStringList &arguments, const QString &defaultProgramFolder, const QString &homeSite);

}  // namespace quorvane
