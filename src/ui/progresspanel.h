#pragma once

#include <QJsonObject>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

namespace quorvane {

class WorkProgress;

// The status bar's progress of the long work (a search, a report run, the
// image walk): a bar with pages done of the total and what was found, the
// time it has run, and a Stop button that is the toolbar's Stop. Shown while
// the work runs, waits or after it was stopped; its parts keep their sizes,
// so new counts only repaint.
class ProgressPanel final : public QWidget {
    Q_OBJECT
public:
    ProgressPanel(const WorkProgress &progress, std::function<void()> stop, QWidget *parent = nullptr);

    // Brings the bar, the time and the button in line with the progress.
    void sync();
    // What the panel shows, for the state dump.
    QJsonObject dump() const;
    // As wide as the bar can grow where there is room; as narrow as its least.
    QSize sizeHint() const override;

private:
    void showElapsed();

    const WorkProgress &m_progress;
    QProgressBar *m_bar = nullptr;
    QLabel *m_elapsed = nullptr;
    QToolButton *m_stop = nullptr;
    QTimer *m_clock = nullptr;
};

}  // namespace quorvane
