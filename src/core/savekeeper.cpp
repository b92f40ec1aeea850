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

namespace {
// Where the copy of path goes: the copy this run already made of it (a newer
// save replaces it), else the file's own name, unless an earlier run of the
// day left a different file there: that one is kept, the copy is numbered.
QString copyPath(const WindowState &state, const QString &folder, const QString &path, const QByteArray &data)
{
    for (const SaveFailure &f : state.saveFailures()) {
        if (f.file == path && !f.copy.isEmpty())
            return f.copy;
    }
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? info.fileName() : QStringLiteral("%1-%2%3").arg(base).arg(n).arg(suffix);
        const QString candidate = QDir(folder).filePath(name);
        QFile existing(candidate);
        if (!existing.exists())
            return candidate;
        // The same bytes again (a second failing run changed nothing) need no second copy.
        if (QFileInfo(candidate).isFile() && existing.size() == data.size() && existing.open(QIODevice::ReadOnly)
            && existing.readAll() == data)
            return candidate;
    }
    return {};
}
}  // namespace

bool keepFile(WindowState &state, const Config &config, const QString &path, const QByteArray &data)
{
    QString reason;
    if (writeFileAtomically(path, data, &reason))
        return true;
    SaveFailure failure{path, reason, {}};
    const QString folder = recoveryFolder(config);
    if (!folder.isEmpty() && QDir().mkpath(folder)) {
        const QString copy = copyPath(state, folder, path, data);
        if (!copy.isEmpty() && writeFileAtomically(copy, data))
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
