#ifndef SYSTEMEVENT_H
#define SYSTEMEVENT_H

#include "dorrikbus_global.h"
#include "ievent.h"

// A system event of the instrument; the code is the event's first byte (2: the shutdown key is
// held, 3: the battery is low).
class DORRIKBUS_EXPORT SystemEvent : public IEvent
{
public:
    SystemEvent();
    SystemEvent(const SystemEvent &other) = default;
    explicit SystemEvent(int code);
    SystemEvent &operator=(const SystemEvent &other) = default;

    int code() const { return m_code; }

    bool operator==(const SystemEvent &other) const;
    bool operator!=(const SystemEvent &other) const { return !(*this == other); }

    QString toString(bool oneLine = false) const override;

private:
    int m_code = 0;
};

#endif
