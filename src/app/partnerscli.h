#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// Whether "quorvane partners ..." reads pages with their scripts run, from
// --hidden-engine or else the setting: such a run needs a QApplication.
bool partnersCliRendersScripts(const QStringList &arguments, const QString &hiddenEngineSetting);

// "quorvane partners ...": runs on an application already made (a
// QApplication when renderScripts), with libcurl transfers and
// Qt timers, and returns the exit code. Requests name the program with
// userAgent.
int runPartnersCli(const QStringList &arguments, const QString &defaultProgramFolder, const QString &userAgent,
                   bool renderScripts);

}  // namespace quorvane
