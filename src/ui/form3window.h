#pragma once

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quorvane {

class CardProfile;

// The card profile window Form3 ("Credit Card Profile"), bound to CardProfile.
// Its close control destroys the profile's texts; Cancel only hides it.
class Form3Window final : public QWidget {
    Q_OBJECT
public:
    explicit Form3Window(CardProfile &card, QWidget *parent = nullptr);

    void sync();
    // Automation: Text1 to Text3, Command2; false for other names.
    bool typeText(const QString &control, const QString &text);
    bool click(const QString &control);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CardProfile &m_card;
    QPlainTextEdit *m_action = nullptr;
    QLineEdit *m_table = nullptr;
    QLineEdit *m_font = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_syncing = false;
};

}  // namespace quorvane
