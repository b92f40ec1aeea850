#include "panellabel.h"

#include <QPainter>

namespace quorvane {

PanelLabel::PanelLabel(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
}

void PanelLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    update(contentsRect());
}

QSize PanelLabel::sizeHint() const
{
    return minimumSizeHint();
}

QSize PanelLabel::minimumSizeHint() const
{
    const int frame = 2 * frameWidth();
    return QSize(minimumWidth() + frame, fontMetrics().height() + frame);
}

void PanelLabel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_text.isEmpty())
        return;
    // Placed as a framed QLabel places it: indented by half an x, clipped at the end.
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2, 0, 0, 0);
    painter.setClipRect(contentsRect());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

}  // namespace quorvane
