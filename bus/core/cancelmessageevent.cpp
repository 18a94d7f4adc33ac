#include "cancelmessageevent.h"

CancelMessageEvent::CancelMessageEvent(QObject *parent) : QObject(parent) {}

CancelMessageEvent::CancelMessageEvent(const CancelMessageEvent &other)
    : QObject(nullptr), m_cancel(other.m_cancel)
{}

void CancelMessageEvent::setCancel(bool cancel)
{
    if (m_cancel != cancel)
        m_cancel = cancel;
}
