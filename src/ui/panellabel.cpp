#include "panellabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace quorvane {

PanelLabel::PanelLabel(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    m_wanted = wantedWidth();
}

void PanelLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    // Only a change of step lays the bar out again.
    if (const int wanted = wantedWidth(); wanted != m_wanted) {
        m_wanted = wanted;
        updateGeometry();
    }
    update(contentsRect());
}

void PanelLabel::setBaseToolTip(const QString &toolTip)
{
    m_baseToolTip = toolTip;
    // Screen readers name the panel by what its tool tip says.
    setAccessibleDescription(toolTip);
}

void PanelLabel::setStretching(bool stretching)
{
    m_stretching = stretching;
    m_wanted = wantedWidth();
    updateGeometry();
}

void PanelLabel::setReadableChars(int chars)
{
    m_readableChars = chars;
    updateGeometry();
}

int PanelLabel::readableWidth() const
{
    return m_readableChars * std::max(1, fontMetrics().averageCharWidth());
}

int PanelLabel::indent() const
{
    // Placed as a framed QLabel places it: indented by half an x.
    return fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
}

int PanelLabel::textWidth() const
{
    return m_text.isEmpty() ? 0 : fontMetrics().horizontalAdvance(m_text) + 2 * indent();
}

int PanelLabel::wantedWidth() const
{
    const int chr = std::max(1, fontMetrics().averageCharWidth());
    const int step = StepChars * chr;
    const int width = m_text.isEmpty() ? 0 : (textWidth() + step - 1) / step * step;
    const int floor = m_stretching ? readableWidth() : indent() * 2 + chr;
    return std::clamp(width, floor, LimitChars * chr) + 2 * frameWidth();
}

QSize PanelLabel::sizeHint() const
{
    return QSize(m_wanted, fontMetrics().height() + 2 * frameWidth());
}

QSize PanelLabel::minimumSizeHint() const
{
    return QSize(std::min(m_wanted, readableWidth() + 2 * frameWidth()), fontMetrics().height() + 2 * frameWidth());
}

bool PanelLabel::isCut() const
{
    return !m_text.isEmpty() && textWidth() > contentsRect().width();
}

bool PanelLabel::isReadable() const
{
    return !isCut() || contentsRect().width() >= readableWidth();
}

QString PanelLabel::shownToolTip() const
{
    if (!isCut())
        return m_baseToolTip;
    return m_baseToolTip.isEmpty() ? m_text : m_baseToolTip + QLatin1Char('\n') + m_text;
}

bool PanelLabel::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const QString tip = shownToolTip();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), tip, this);
        return true;
    }
    return QFrame::event(event);
}

void PanelLabel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_text.isEmpty())
        return;
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(indent(), 0, -indent(), 0);
    painter.setClipRect(contentsRect());
    painter.setPen(palette().color(QPalette::WindowText));
    const QString shown = isCut() ? fontMetrics().elidedText(m_text, Qt::ElideRight, area.width()) : m_text;
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

}  // namespace quorvane
