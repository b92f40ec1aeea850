#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quorvane {

class WindowServices;
class WindowState;
struct Config;

// A file that could not be written, why, and where its data went instead
// (empty when no copy could be written either).
struct SaveFailure {
    QString file;
    QString reason;
    QString copy;
};

// Today's recovery folder under the state folder: STATE/recovered-YYYY-MM-DD.
QString recoveryFolder(const Config &config);

// Writes a file whole or not at all. When it cannot be written, the data goes
// to the recovery folder instead and the failure is kept in the state, so
// nothing is lost and the user can be told which file, why and where it went.
bool keepFile(WindowState &state, const Config &config, const QString &path, const QByteArray &data);

// Why the program folder cannot be written (a small file is written and
// removed, so a full disk shows as well as a read-only one); empty when it can.
QString programFolderProblem(const Config &config);

// Shows the failures not shown yet in one warning, naming each file, the
// reason and the recovery folder. Returns whether there were any.
bool reportSaveFailures(WindowState &state, WindowServices &services);

}  // namespace quorvane
