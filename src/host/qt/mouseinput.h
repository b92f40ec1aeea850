#pragma once

#include <QEvent>
#include <QList>
#include <QPointF>

class QWidget;

namespace quorvane {

// Sends mouse events to target at a point in its coordinates, as the pointer
// gives them: a move carries no button, a press or double click holds button,
// a release lets it go. Stops if target goes away on the way.
void sendMouseEvents(QWidget *target, QPointF at, Qt::MouseButton button, const QList<QEvent::Type> &events);

}  // namespace quorvane
