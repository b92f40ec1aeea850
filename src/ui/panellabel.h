#pragma once

#include <QFrame>
#include <QString>

namespace quorvane {

// One status bar panel. A new text only repaints the panel: its size never
// depends on the text, so the bar is not laid out again at each change, as a
// QLabel's would be. The text is plain text, never markup.
class PanelLabel final : public QFrame {
    Q_OBJECT
public:
    explicit PanelLabel(QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};

}  // namespace quorvane
