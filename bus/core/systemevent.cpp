#include "systemevent.h"

#include <QObject>

SystemEvent::SystemEvent() : IEvent(GlobalEvents::SystemEvent) {}

SystemEvent::SystemEvent(int code) : IEvent(GlobalEvents::SystemEvent), m_code(code) {}

bool SystemEvent::operator==(const SystemEvent &other) const
{
    return IEvent::operator==(other) && m_code == other.m_code;
}

QString SystemEvent::toString(bool oneLine) const
{
    QString text = IEvent::toString(false) +
                   QObject::tr("system code: %1 (0x%2)\n").arg(m_code).arg(m_code, 0, 16);
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
