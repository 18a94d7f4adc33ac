#include "wheelarea.h"

#include <QWheelEvent>

#include <cstdlib>

WheelArea::WheelArea(QQuickItem *parent) : QQuickItem(parent) {}

void WheelArea::wheelEvent(QWheelEvent *event)
{
    // Qt 6 has no wheel orientation: the larger component of the turn gives it.
    const QPoint delta = event->angleDelta();
    if (delta.x() != 0 && std::abs(delta.x()) >= std::abs(delta.y())) {
        event->accept();
        emit horizontalWheel(delta.x());
    } else if (delta.y() != 0) {
        event->accept();
        emit verticalWheel(delta.y());
    } else {
        event->ignore();
    }
}
