#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

namespace quorvane {

// The toolbar's bitmaps by file name: a file of that name in the program
// folder wins (so a user can reskin the toolbar), otherwise the image shipped
// with the program. Each file is read once; a missing one gives a null pixmap.
class ToolbarImages final {
public:
    explicit ToolbarImages(QString programFolder);

    QPixmap image(const QString &file);
    // Where image() reads file from: a program-folder path or a resource path.
    QString source(const QString &file) const;

private:
    QString m_programFolder;
    QHash<QString, QPixmap> m_cache;
};

}  // namespace quorvane
