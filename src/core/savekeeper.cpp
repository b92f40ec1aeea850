#include "savekeeper.h"

#include "config.h"
#include "windowstate.h"
#include "host/safefile.h"
#include "host/windowservices.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvane {

QString recoveryFolder(const Config &config)
{
    if (config.stateFolder.isEmpty())
        return {};
    return QDir(config.stateFolder).filePath(QStringLiteral("recovered-") + QDate::currentDate().toString(Qt::ISODate));
}

bool keepFile(WindowState &state, const Config &config, const QString &path, const QByteArray &data)
{
    QString reason;
    if (writeFileAtomically(path, data, &reason))
        return true;
    SaveFailure failure{path, reason, {}};
    const QString folder = recoveryFolder(config);
    if (!folder.isEmpty() && QDir().mkpath(folder)) {
        const QString copy = QDir(folder).filePath(QFileInfo(path).fileName());
        if (writeFileAtomically(copy, data))
            failure.copy = copy;
    }
    state.addSaveFailure(failure);
    return false;
}

QString programFolderProblem(const Config &config)
{
    const QString probe = QDir(config.programFolder).filePath(QStringLiteral(".quorvane-write-test"));
    QString reason;
    if (!writeFileAtomically(probe, QByteArrayLiteral("ok\n"), &reason))
        return reason.isEmpty() ? QStringLiteral("cannot be written") : reason;
    QFile::remove(probe);
    return {};
}

bool reportSaveFailures(WindowState &state, WindowServices &services)
{
    const QList<SaveFailure> failures = state.takeUnreportedSaveFailures();
    if (failures.isEmpty())
        return false;
    QString text = QStringLiteral("Quorvane could not save:\n");
    QString copies;
    bool allCopied = true;
    for (const SaveFailure &f : failures) {
        text += QStringLiteral("%1 (%2)\n").arg(QDir::toNativeSeparators(f.file), f.reason);
        if (f.copy.isEmpty())
            allCopied = false;
        else
            copies = QDir::toNativeSeparators(QFileInfo(f.copy).absolutePath());
    }
    if (!copies.isEmpty())
        text += allCopied ? QStringLiteral("A copy of each is in %1.").arg(copies)
                          : QStringLiteral("Copies of what could be copied are in %1.").arg(copies);
    else
        text += QStringLiteral("No copy could be written either.");
    services.messageBox(text, QStringLiteral("Warning!!!"), WindowServices::Buttons::Ok);
    return true;
}

}  // namespace quorvane
