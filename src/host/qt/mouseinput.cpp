#include "mouseinput.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace quorvane {

void sendMouseEvents(QWidget *target, QPointF at, Qt::MouseButton button, const QList<QEvent::Type> &events)
{
    const QPointer<QWidget> alive(target);
    for (const QEvent::Type type : events) {
        if (!alive)
            return;
        const bool move = type == QEvent::MouseMove;
        const bool holds = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
        QMouseEvent event(type, at, target->mapToGlobal(at), move ? Qt::NoButton : button,
                          holds ? Qt::MouseButtons(button) : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
}

}  // namespace quorvane
