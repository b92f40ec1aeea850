#include "progresspanel.h"

#include "core/workprogress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace quorvane {

ProgressPanel::ProgressPanel(const WorkProgress &progress, std::function<void()> stop, QWidget *parent)
    : QWidget(parent), m_progress(progress)
{
    setObjectName(QStringLiteral("Progress"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setTextVisible(true);
    const QFontMetrics metrics = m_bar->fontMetrics();
    // Wide enough for the usual counts where there is room; the whole text is in the tool tip.
    m_bar->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("99/999 pages")) + 12);
    m_bar->setMaximumWidth(metrics.horizontalAdvance(QStringLiteral("999/9999 pages, 999 found")) + 12);
    m_bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_bar->setAccessibleName(QStringLiteral("Progress"));
    layout->addWidget(m_bar);

    m_elapsed = new QLabel(this);
    m_elapsed->setObjectName(QStringLiteral("ProgressTime"));
    m_elapsed->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("0:00:00")) + 4);
    m_elapsed->setAlignment(Qt::AlignCenter);
    m_elapsed->setTextFormat(Qt::PlainText);
    m_elapsed->setToolTip(QStringLiteral("Time the work has run"));
    layout->addWidget(m_elapsed);

    m_stop = new QToolButton(this);
    m_stop->setObjectName(QStringLiteral("ProgressStop"));
    m_stop->setText(QStringLiteral("Stop"));
    m_stop->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    m_stop->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_stop->setAutoRaise(true);
    m_stop->setToolTip(QStringLiteral("Stop this work (Esc, or Stop on the toolbar)"));
    m_stop->setAccessibleName(QStringLiteral("Stop"));
    connect(m_stop, &QToolButton::clicked, this, [stop = std::move(stop)] {
        if (stop)
            stop();
    });
    layout->addWidget(m_stop);

    // The time moves on its own while the work runs.
    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &ProgressPanel::showElapsed);
    hide();
}

void ProgressPanel::sync()
{
    using Phase = WorkProgress::Phase;
    const Phase phase = m_progress.phase();
    const bool shown = phase == Phase::Running || phase == Phase::Waiting || phase == Phase::Stopped;
    if (isHidden() == shown)
        setVisible(shown);
    if (!shown) {
        m_clock->stop();
        return;
    }
    m_bar->setMaximum(std::max(1, m_progress.total()));
    m_bar->setValue(std::min(m_progress.done(), std::max(1, m_progress.total())));
    // The bar draws its own text: a format without a placeholder is drawn as it is.
    QString text = m_progress.text();
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    m_bar->setFormat(text);
    const QString what = phase == Phase::Stopped   ? QStringLiteral("Stopped: ")
                       : phase == Phase::Waiting ? QStringLiteral("Waiting for Read next: ")
                                                 : QString();
    m_bar->setToolTip(what + m_progress.text());
    const bool running = phase == Phase::Running || phase == Phase::Waiting;
    m_stop->setEnabled(running);
    if (phase == Phase::Running && !m_clock->isActive())
        m_clock->start();
    else if (phase != Phase::Running)
        m_clock->stop();
    showElapsed();
}

void ProgressPanel::showElapsed()
{
    const QString text = WorkProgress::elapsedText(m_progress.elapsedMs());
    if (m_elapsed->text() != text)
        m_elapsed->setText(text);
}

QSize ProgressPanel::sizeHint() const
{
    QSize size = QWidget::sizeHint();
    size.rwidth() += m_bar->maximumWidth() - m_bar->sizeHint().width();
    return size;
}

QJsonObject ProgressPanel::dump() const
{
    return {{QStringLiteral("visible"), isVisibleTo(parentWidget())},
            {QStringLiteral("text"), m_bar->format()},
            {QStringLiteral("value"), m_bar->value()},
            {QStringLiteral("maximum"), m_bar->maximum()},
            {QStringLiteral("time"), m_elapsed->text()},
            {QStringLiteral("stopEnabled"), m_stop->isEnabled()},
            {QStringLiteral("width"), width()}};
}

}  // namespace quorvane
