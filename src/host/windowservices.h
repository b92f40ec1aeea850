#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// Everything the logic asks of the desktop: it never opens a dialog itself.
class WindowServices {
public:
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~WindowServices() = default;

    virtual Answer messageBox(const QString &text, const QString &title, Buttons buttons) = 0;
    // Returns nullopt when cancelled. A masked box hides what is typed.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                            bool masked = false, const QString &defaultText = {}) = 0;
    // filter uses the "Description (*.a)|*.a|Other|*.b;*.c" form. Empty result: cancelled.
    virtual QString openFileDialog(const QString &filter) = 0;
    virtual QString saveFileDialog(const QString &filter) = 0;
    // Shows one of the pop-up menus (pub_search, pub_chann, ...) at the pointer.
    virtual void popupMenu(const QString &menuName) = 0;
    virtual void beep() = 0;
    // Starts a program without waiting; false when it could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
};

}  // namespace quorvane
