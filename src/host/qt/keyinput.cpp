#include "keyinput.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QWidget>

// Qt's own entry for a key press from outside the window system (QTest uses
// it): offers the chord to the shortcut map first. Exported by Qt GUI, with no
// public header.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString &text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace quorvane {

bool sendKeyChord(QWidget *target, const QKeySequence &chord)
{
    if (!target || chord.isEmpty())
        return false;
    const QKeyCombination combination = chord[0];
    const int key = combination.key();
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    const QString text = modifiers & ~Qt::ShiftModifier ? QString() : QKeySequence(key).toString();
    if (qt_sendShortcutOverrideEvent(target, 0, key, modifiers, text))
        return true;
    const QPointer<QWidget> alive(target);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    if (alive) {
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(target, &release);
    }
    return true;
}

}  // namespace quorvane
