#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace quorvane {

// `quorvane sitegen PROFILE.pro --order-mode online|phone [--program-folder DIR]`:
// writes the site that Generate writes for that profile, without a window.
// arguments are those after "sitegen". Prints the site folder on out; messages
// go to err. Returns 0 when every file was written, 1 when the site could not
// be written whole, 2 for bad usage or input that writes nothing (an
// unreadable profile, missing category or go-back address, a bad category).
int runSitegenCommand(const QStringList &arguments, const QString &defaultProgramFolder, QTextStream &out,
                      QTextStream &err);

}  // namespace quorvane
