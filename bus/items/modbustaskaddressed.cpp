#include "modbustaskaddressed.h"

ModbusTaskAddressed::ModbusTaskAddressed(ModbusItemBase &item, quint32 address,
                                         const ModbusBytesArray &bytes)
    : ModbusTask(item, bytes), m_address(address)
{}

ModbusTaskAddressed::ModbusTaskAddressed(ModbusItemBase &item, quint32 address, int interval)
    : ModbusTask(item, interval), m_address(address)
{}

ModbusTaskAddressed::ModbusTaskAddressed(ModbusItemBase &item, quint32 address,
                                         DorrikBus::ModbusTaskType type, int interval)
    : ModbusTask(item, type, interval), m_address(address)
{}

ModbusTaskAddressed::ModbusTaskAddressed(const ModbusTaskAddressed &other)
    : ModbusTask(other), m_address(other.m_address)
{}

ModbusTaskAddressed::ModbusTaskAddressed(ModbusTaskAddressed &other, int index)
    : ModbusTask(other, index),
      m_address(other.m_address +
                quint32(index) * quint32(DorrikBus::getBytesInAddress(other.m_address)))
{}

ModbusTask *ModbusTaskAddressed::clone() const
{
    return new ModbusTaskAddressed(*this);
}

QList<ModbusTask *> ModbusTaskAddressed::split()
{
    QList<ModbusTask *> parts;
    const int n = int(dataList().size());
    parts.reserve(n);
    for (int i = 0; i < n; ++i)
        parts.append(new ModbusTaskAddressed(*this, i));
    return parts;
}
