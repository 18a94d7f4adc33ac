#ifndef KEYPADEVENT_H
#define KEYPADEVENT_H

#include "dorrikbus_global.h"
#include "ievent.h"

// A key pressed on the instrument's hardware keypad; the key code is the instrument's own number.
class DORRIKBUS_EXPORT KeypadEvent : public IEvent
{
public:
    KeypadEvent();
    KeypadEvent(const KeypadEvent &other) = default;
    explicit KeypadEvent(quint8 keyCode);
    KeypadEvent &operator=(const KeypadEvent &other) = default;

    quint8 keyCode() const { return m_keyCode; }

    bool operator==(const KeypadEvent &other) const;
    bool operator!=(const KeypadEvent &other) const { return !(*this == other); }

    QString toString(bool oneLine = false) const override;

private:
    quint8 m_keyCode = 0;
};

#endif
