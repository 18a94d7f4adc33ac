#ifndef VSETTINGSSAVEEVENT_H
#define VSETTINGSSAVEEVENT_H

#include <QEvent>

// Posted to a VSettings to save it; pending ones coalesce into one save.
class VSettingsSaveEvent : public QEvent
{
public:
    static constexpr QEvent::Type Type = QEvent::Type(1001);
    VSettingsSaveEvent() : QEvent(Type) {}
};

#endif // VSETTINGSSAVEEVENT_H
