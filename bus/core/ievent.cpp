#include "ievent.h"

#include <QObject>

namespace GlobalEvents {

QString EventTypeStr(int type)
{
    if (type == KeyboardEvent)
        return QObject::tr("keyboard event");
    return QStringLiteral("?");
}

} // namespace GlobalEvents

IEvent::IEvent(GlobalEvents::EventType type) : m_type(type) {}

IEvent::~IEvent() = default;

QString IEvent::toString(bool oneLine) const
{
    QString text = QObject::tr("type: %1\n").arg(GlobalEvents::EventTypeStr(m_type));
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
