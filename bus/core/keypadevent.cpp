#include "keypadevent.h"

#include <QObject>

KeypadEvent::KeypadEvent() : IEvent(GlobalEvents::KeyboardEvent) {}

KeypadEvent::KeypadEvent(quint8 keyCode) : IEvent(GlobalEvents::KeyboardEvent), m_keyCode(keyCode)
{}

bool KeypadEvent::operator==(const KeypadEvent &other) const
{
    return IEvent::operator==(other) && m_keyCode == other.m_keyCode;
}

QString KeypadEvent::toString(bool oneLine) const
{
    QString text = IEvent::toString(false) +
                   QObject::tr("key: %1 (0x%2)\n").arg(m_keyCode).arg(m_keyCode, 0, 16);
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
