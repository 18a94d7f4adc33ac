#include "modbustaskarchrecord65.h"

#include "modbusarchrecord.h"

ModbusTaskArchRecord65::ModbusTaskArchRecord65(ModbusArchRecord &item, quint32 label, int interval)
    : ModbusTaskArchRecord65(item, label, interval, item.archIndex(), item.func(), item.archType(),
                             item.recordSize(), item.archInterval())
{}

ModbusTaskArchRecord65::ModbusTaskArchRecord65(ModbusItemBase &item, quint32 label, int interval,
                                               quint16 archIndex, DorrikBus::ArchFunc func,
                                               DorrikBus::ArchType archType, int recordSize,
                                               DorrikBus::ArchInterval archInterval)
    : ModbusTaskArch(item, DorrikBus::Forward, interval, archIndex, func, archType), m_label(label),
      m_recordSize(recordSize), m_archInterval(archInterval)
{}

ModbusTaskArchRecord65::ModbusTaskArchRecord65(ModbusTaskArchRecord65 &other, int index)
    : ModbusTaskArch(other, index), m_label(other.m_label), m_recordSize(other.m_recordSize),
      m_archInterval(other.m_archInterval)
{}

ModbusTask *ModbusTaskArchRecord65::clone() const
{
    return new ModbusTaskArchRecord65(*this);
}

QList<ModbusTask *> ModbusTaskArchRecord65::split()
{
    QList<ModbusTask *> parts;
    const int n = int(dataList().size());
    parts.reserve(n);
    for (int i = 0; i < n; ++i)
        parts.append(new ModbusTaskArchRecord65(*this, i));
    return parts;
}

quint32 ModbusTaskArchRecord65::getNextLabel(quint32 label, bool *ok, quint32 step) const
{
    return DorrikBus::getNextLabel(label, archType(), m_archInterval, ok, step, DorrikBus::Forward);
}
