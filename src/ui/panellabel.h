#pragma once

#include <QFrame>
#include <QString>

namespace quorvane {

// One status bar panel. It is as wide as its text, up to a limit, in steps of
// a few characters: a new text of about the same length only repaints the
// panel, so the bar is not laid out again at each change, as a QLabel's would
// be. A text cut short ends in an ellipsis and is whole in the tool tip. The
// text is plain text, never markup.
class PanelLabel final : public QFrame {
    Q_OBJECT
public:
    // Widths in characters of the font: the widest a panel grows, and what
    // it keeps at the least, so the window's minimum keeps it readable.
    static constexpr int LimitChars = 40;
    static constexpr int StepChars = 4;

    explicit PanelLabel(QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    // The design's tool tip; the whole text is added while it is cut.
    void setBaseToolTip(const QString &toolTip);
    const QString &baseToolTip() const { return m_baseToolTip; }
    // A panel that takes the room the others leave (panel 1), and how many
    // characters of its text it keeps at the least (20 unless set).
    void setStretching(bool stretching);
    void setReadableChars(int chars);

    bool isCut() const;
    QString shownToolTip() const;
    // Whether the whole text, or at least the readable characters of it, is shown.
    bool isReadable() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int textWidth() const;
    int wantedWidth() const;
    int indent() const;
    int readableWidth() const;

    QString m_text;
    QString m_baseToolTip;
    bool m_stretching = false;
    int m_readableChars = 20;
    int m_wanted = 0;  // the width last asked of the layout
};

}  // namespace quorvane
