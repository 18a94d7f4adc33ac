#include "modbustaskarchrecord67.h"

#include "modbusarchrecord.h"

ModbusTaskArchRecord67::ModbusTaskArchRecord67(ModbusArchRecord &item, quint32 label,
                                               const QList<quint32> &labels, int interval)
    : ModbusTaskArchRecord65(item, label, interval), m_labels(labels)
{}

ModbusTaskArchRecord67::ModbusTaskArchRecord67(ModbusItemBase &item, quint32 label,
                                               const QList<quint32> &labels, int interval,
                                               quint16 archIndex, DorrikBus::ArchType archType,
                                               int recordSize, DorrikBus::ArchInterval archInterval)
    : ModbusTaskArchRecord65(item, label, interval, archIndex, DorrikBus::Func67, archType,
                             recordSize, archInterval),
      m_labels(labels)
{}

ModbusTask *ModbusTaskArchRecord67::clone() const
{
    return new ModbusTaskArchRecord67(*this);
}

quint32 ModbusTaskArchRecord67::getNextLabel(quint32 label, bool *ok, quint32 step) const
{
    if (archType() != DorrikBus::TimeArch)
        return ModbusTaskArchRecord65::getNextLabel(label, ok, step);
    const qsizetype at = m_labels.indexOf(label);
    const bool found = at >= 0 && quint64(at) + step < quint64(m_labels.size());
    if (ok)
        *ok = found;
    return found ? m_labels.at(at + qsizetype(step)) : label;
}
