#include "vmarker.h"

VMarker::VMarker(QObject *parent) : QObject(parent) {}

void VMarker::setX(qreal x)
{
    if (m_x == x)
        return;
    m_x = x;
    emit xChanged(x);
    emit positionChanged();
}

void VMarker::setY(qreal y)
{
    if (m_y == y)
        return;
    m_y = y;
    emit yChanged(y);
    emit positionChanged();
}
