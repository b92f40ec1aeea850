#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

namespace quorvane {

// The toolbar's bitmaps by file name: a file of that name in the program
// folder wins (so a user can reskin the toolbar), otherwise the image shipped
// with the program. On a screen of twice the density or more, "NAME@2x.bmp"
// is taken first (a skin's own, then the shipped one), but a skin's plain
// "NAME" still wins over the shipped 2x image. Each file is read once; a
// missing one gives a null pixmap.
class ToolbarImages final {
public:
    explicit ToolbarImages(QString programFolder);

    QPixmap image(const QString &file, qreal ratio = 1.0);
    // Where image() reads file from: a program-folder path or a resource path.
    QString source(const QString &file, qreal ratio = 1.0) const;
    // "back1.bmp" -> "back1@2x.bmp".
    static QString doubleDensityName(const QString &file);

private:
    QString m_programFolder;
    QHash<QString, QPixmap> m_cache;
};

}  // namespace quorvane
