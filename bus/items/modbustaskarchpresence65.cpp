#include "modbustaskarchpresence65.h"

#include "modbusarchlabel.h"

ModbusTaskArchPresence65::ModbusTaskArchPresence65(ModbusArchLabel &item,
                                                   DorrikBus::ArchDirection direction, int interval)
    : ModbusTaskArchPresence(item, direction, interval), m_archInterval(item.archInterval())
{}

ModbusTaskArchPresence65::ModbusTaskArchPresence65(ModbusItemBase &item,
                                                   DorrikBus::ArchDirection direction, int interval,
                                                   quint16 archIndex, DorrikBus::ArchType archType,
                                                   quint32 label,
                                                   DorrikBus::ArchInterval archInterval)
    : ModbusTaskArchPresence(item, direction, interval, archIndex, DorrikBus::Func65, archType,
                             label),
      m_archInterval(archInterval)
{}

ModbusTask *ModbusTaskArchPresence65::clone() const
{
    return new ModbusTaskArchPresence65(*this);
}
