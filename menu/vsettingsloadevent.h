#ifndef VSETTINGSLOADEVENT_H
#define VSETTINGSLOADEVENT_H

#include <QEvent>

// Posted to a VSettings to load it; pending ones coalesce into one load.
class VSettingsLoadEvent : public QEvent
{
public:
    static constexpr QEvent::Type Type = QEvent::Type(1000);
    VSettingsLoadEvent() : QEvent(Type) {}
};

#endif // VSETTINGSLOADEVENT_H
