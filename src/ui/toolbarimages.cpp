#include "toolbarimages.h"

#include <QDir>
#include <QFileInfo>

namespace quorvane {

ToolbarImages::ToolbarImages(QString programFolder) : m_programFolder(std::move(programFolder)) {}

QString ToolbarImages::source(const QString &file) const
{
    // Only plain names: a bitmap name never reaches outside the folder.
    if (file.isEmpty() || file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\')))
        return {};
    if (!m_programFolder.isEmpty()) {
        const QString local = QDir(m_programFolder).filePath(file);
        if (QFileInfo(local).isFile())
            return local;
    }
    return QStringLiteral(":/toolbar/") + file;
}

QPixmap ToolbarImages::image(const QString &file)
{
    const auto it = m_cache.constFind(file);
    if (it != m_cache.cend())
        return it.value();
    QPixmap pixmap;
    const QString path = source(file);
    if (!path.isEmpty() && !pixmap.load(path) && !path.startsWith(QLatin1Char(':')))
        pixmap.load(QStringLiteral(":/toolbar/") + file);  // an unreadable skin file: the shipped one
    m_cache.insert(file, pixmap);
    return pixmap;
}

}  // namespace quorvane
