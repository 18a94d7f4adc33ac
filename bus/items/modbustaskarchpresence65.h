#ifndef MODBUSTASKARCHPRESENCE65_H
#define MODBUSTASKARCHPRESENCE65_H

#include "modbustaskarchpresence.h"

// Presence of a function-65 archive, which has a record at every label: the executor computes
// the labels from the calendar of the archive interval, without asking the instrument.
class DORRIKBUS_EXPORT ModbusTaskArchPresence65 : public ModbusTaskArchPresence
{
public:
    ModbusTaskArchPresence65(ModbusArchLabel &item, DorrikBus::ArchDirection direction,
                             int interval);
    ModbusTaskArchPresence65(ModbusItemBase &item, DorrikBus::ArchDirection direction, int interval,
                             quint16 archIndex, DorrikBus::ArchType archType, quint32 label,
                             DorrikBus::ArchInterval archInterval);
    ModbusTaskArchPresence65(const ModbusTaskArchPresence65 &other) = default;

    ModbusTask *clone() const override;

    DorrikBus::ArchInterval archInterval() const { return m_archInterval; }

private:
    DorrikBus::ArchInterval m_archInterval = DorrikBus::Hour;
};

#endif
