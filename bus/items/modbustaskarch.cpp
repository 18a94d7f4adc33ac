#include "modbustaskarch.h"

#include "modbusitemarchbase.h"

ModbusTaskArch::ModbusTaskArch(ModbusItemArchBase &item, DorrikBus::ArchDirection direction,
                               int interval)
    : ModbusTaskArch(item, direction, interval, item.archIndex(), item.func(), item.archType())
{}

ModbusTaskArch::ModbusTaskArch(ModbusItemBase &item, DorrikBus::ArchDirection direction,
                               int interval, quint16 archIndex, DorrikBus::ArchFunc func,
                               DorrikBus::ArchType archType)
    : ModbusTask(item, interval), m_archIndex(archIndex), m_func(func), m_archType(archType),
      m_direction(direction)
{}

ModbusTaskArch::ModbusTaskArch(ModbusTaskArch &other, int index)
    : ModbusTask(other, index), m_archIndex(other.m_archIndex), m_func(other.m_func),
      m_archType(other.m_archType), m_direction(other.m_direction)
{}

ModbusTask *ModbusTaskArch::clone() const
{
    return new ModbusTaskArch(*this);
}

QList<ModbusTask *> ModbusTaskArch::split()
{
    QList<ModbusTask *> parts;
    const int n = int(dataList().size());
    parts.reserve(n);
    for (int i = 0; i < n; ++i)
        parts.append(new ModbusTaskArch(*this, i));
    return parts;
}
