#pragma once

#include "host/windowservices.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace quorvane {

// Window services on Qt's standard dialogs, modal to the main window.
class QtWindowServices final : public WindowServices {
public:
    using PopupHandler = std::function<void(const QString &menuName)>;

    // The window that owns the dialogs; null until the main window exists.
    void setParentWindow(QWidget *window) { m_parent = window; }
    // The main window shows its pop-up menus; without a handler nothing appears.
    void setPopupHandler(PopupHandler handler) { m_popupHandler = std::move(handler); }

    Answer messageBox(const QString &text, const QString &title, Buttons buttons) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, bool masked,
                                    const QString &defaultText) override;
    QString openFileDialog(const QString &filter) override;
    QString saveFileDialog(const QString &filter) override;
    void popupMenu(const QString &menuName) override;
    void beep() override;
    bool startProgram(const QString &program, const QStringList &arguments) override;

private:
    QPointer<QWidget> m_parent;
    PopupHandler m_popupHandler;
};

}  // namespace quorvane
