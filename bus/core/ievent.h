#ifndef IEVENT_H
#define IEVENT_H

#include "dorrikbus_global.h"
#include "globalevents.h"
#include "qdorrikobject.h"

// An event reported by the instrument beside its Modbus answers.
class DORRIKBUS_EXPORT IEvent : public QDorrikObject
{
public:
    explicit IEvent(GlobalEvents::EventType type);
    IEvent(const IEvent &other) = default;
    IEvent &operator=(const IEvent &other) = default;
    virtual ~IEvent();

    QString toString(bool oneLine = false) const override;

    GlobalEvents::EventType type() const { return m_type; }

    bool operator==(const IEvent &other) const { return m_type == other.m_type; }
    bool operator!=(const IEvent &other) const { return !(*this == other); }

private:
    GlobalEvents::EventType m_type;
};

#endif
