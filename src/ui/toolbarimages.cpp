#include "toolbarimages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvane {

namespace {
constexpr qreal kDoubleFrom = 1.5;
}

ToolbarImages::ToolbarImages(QString programFolder) : m_programFolder(std::move(programFolder)) {}

QString ToolbarImages::doubleDensityName(const QString &file)
{
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? file + QStringLiteral("@2x") : QString(file).insert(dot, QStringLiteral("@2x"));
}

QString ToolbarImages::source(const QString &file, qreal ratio) const
{
    // Only plain names: a bitmap name never reaches outside the folder.
    if (file.isEmpty() || file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\')))
        return {};
    const bool dense = ratio >= kDoubleFrom;
    const auto local = [this](const QString &name) {
        const QString path = m_programFolder.isEmpty() ? QString() : QDir(m_programFolder).filePath(name);
        return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
    };
    // A skin replaces the shipped pictures at every density.
    if (dense) {
        if (const QString path = local(doubleDensityName(file)); !path.isEmpty())
            return path;
    }
    if (const QString path = local(file); !path.isEmpty())
        return path;
    if (dense) {
        const QString shipped = QStringLiteral(":/toolbar/") + doubleDensityName(file);
        if (QFile::exists(shipped))
            return shipped;
    }
    return QStringLiteral(":/toolbar/") + file;
}

QPixmap ToolbarImages::image(const QString &file, qreal ratio)
{
    const QString path = source(file, ratio);
    const auto it = m_cache.constFind(path);
    if (it != m_cache.cend())
        return it.value();
    QPixmap pixmap;
    if (!path.isEmpty() && !pixmap.load(path) && !path.startsWith(QLatin1Char(':')))
        pixmap.load(QStringLiteral(":/toolbar/") + file);  // an unreadable skin file: the shipped one
    if (path.contains(QLatin1String("@2x.")) && !pixmap.isNull())
        pixmap.setDevicePixelRatio(2.0);
    m_cache.insert(path, pixmap);
    return pixmap;
}

}  // namespace quorvane
