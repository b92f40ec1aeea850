#pragma once

#include <QHash>
#include <QJsonObject>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QTableView;

namespace quorvane {

class ItemTableModel;
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
    // The item list as the window shows it: its columns, and each entry's
    // cells and tool tip.
    QJsonObject itemTableDump() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Clicks (twice: double-clicks) entry index of the item list with the
    // mouse; false when the row is not on screen.
    bool clickRow(int index, bool twice);

    SiteGenerator &m_generator;
    QLineEdit *m_fields[8] = {};
    QTableView *m_list = nullptr;
    ItemTableModel *m_model = nullptr;
    QHash<QString, QPushButton *> m_buttons;
    quint64 m_listRevision = ~quint64(0);
};

}  // namespace quorvane
