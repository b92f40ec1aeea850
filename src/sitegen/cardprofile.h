#pragma once

#include <QString>

#include <functional>

namespace quorvane {

// The card profile window Form3 ("Credit Card Profile"): the form-action text
// (Text1), the table style (Text2) and the font style (Text3). It comes into
// being with its default texts when first shown or first read; Cancel hides
// it and keeps the texts; its close control destroys it and loses them.
class CardProfile final {
public:
    // The gateway host and merchant login fill the default form-action text.
    CardProfile(QString gatewayHost, QString gatewayLogin);

    static const QString &defaultTableStyle();
    static const QString &defaultFontStyle();
    QString defaultFormAction() const;

    bool exists() const { return m_exists; }
    bool visible() const { return m_exists && m_visible; }

    void show();            // Action of the generator window
    // Counts the calls of show(), so a view brings an already shown window forward.
    quint64 showRequests() const { return m_showRequests; }
    void Command2_Click();  // Cancel: hide
    void close();           // the window's own close control

    // Reading or writing a text creates the window, without showing it.
    QString formAction();
    QString tableStyle();
    QString fontStyle();
    void setFormAction(const QString &text);
    void setTableStyle(const QString &text);
    void setFontStyle(const QString &text);
    // By control number: 1 form action, 2 table style, 3 font style; false for others.
    bool setText(int number, const QString &text);
    QString text(int number);
    // The text as it stands, without creating the window (empty while it does not exist).
    QString currentText(int number) const;

    // Called after every change a view shows.
    void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    void ensure();
    void changed() const;

    QString m_gatewayHost;
    QString m_gatewayLogin;
    bool m_exists = false;
    bool m_visible = false;
    quint64 m_showRequests = 0;
    QString m_texts[3];
    std::function<void()> m_listener;
};

}  // namespace quorvane
