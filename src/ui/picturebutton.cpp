#include "picturebutton.h"

namespace quorvane {

PictureButton::PictureButton(const QString &name, QWidget *parent) : QLabel(parent)
{
    setObjectName(name);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignCenter);
}

void PictureButton::showImage(const QString &name, const QPixmap &pixmap)
{
    if (name == m_imageName)
        return;
    m_imageName = name;
    if (!pixmap.isNull())
        setPixmap(pixmap);
}

}  // namespace quorvane
