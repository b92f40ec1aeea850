#pragma once

#include <QLabel>
#include <QString>

namespace quorvane {

// A toolbar button that is only a picture: the window swaps its bitmap for the
// normal, hover and pressed states. Showing the image already shown is a no-op,
// so the many mouse-move updates never repaint it.
class PictureButton final : public QLabel {
    Q_OBJECT
public:
    explicit PictureButton(const QString &name, QWidget *parent = nullptr);

    const QString &imageName() const { return m_imageName; }
    // A null pixmap keeps the previous picture (a missing bitmap file).
    void showImage(const QString &name, const QPixmap &pixmap);

private:
    QString m_imageName;
};

}  // namespace quorvane
