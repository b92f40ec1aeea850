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
    const auto fail = [&file, error] {
        if (error)
            *error = file.errorString();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // A short write must cancel: committing would replace a good file with a truncated one.
    if (file.write(data) != data.size() || !file.flush()) {
        const bool failed = fail();
        file.cancelWriting();
        file.commit();
        return failed;
    }
    if (!file.commit())
        return fail();
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

}  // namespace quorvane
