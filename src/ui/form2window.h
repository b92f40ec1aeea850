#pragma once

#include <QHash>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace quorvane {

class SiteGenerator;

// The site generator window Form2 ("Vendaro Wizard"), bound to SiteGenerator:
// every widget event becomes a call on it and sync() shows what it holds.
class Form2Window final : public QWidget {
    Q_OBJECT
public:
    explicit Form2Window(SiteGenerator &generator, QWidget *parent = nullptr);

    void sync();
    // Automation, by control name: Text1(0) .. Text1(7), Command1 .. Command8, List1.
    bool typeText(const QString &control, const QString &text);
    bool click(const QString &control, int index);
    bool doubleClick(const QString &control, int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    SiteGenerator &m_generator;
    QLineEdit *m_fields[8] = {};
    QListWidget *m_list = nullptr;
    QHash<QString, QPushButton *> m_buttons;
    quint64 m_listRevision = ~quint64(0);
};

}  // namespace quorvane
