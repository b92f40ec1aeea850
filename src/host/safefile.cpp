#include "safefile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace quorvane {

namespace {
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
}  // namespace

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("a folder of that name is in the way"));
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // A short write must cancel: committing would replace a good file with a truncated one.
    if (file.write(data) != data.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        file.commit();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

}  // namespace quorvane
