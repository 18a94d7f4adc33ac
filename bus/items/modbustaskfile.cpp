#include "modbustaskfile.h"

ModbusTaskFile::ModbusTaskFile(ModbusItemBase &item, DorrikBus::ModbusTaskType type, int interval,
                               quint8 file, quint16 offset, int length, int modbusBlockSize)
    : ModbusTask(item, type, interval), m_file(file), m_offset(offset), m_length(length),
      m_modbusBlockSize(modbusBlockSize)
{}

ModbusTaskFile::ModbusTaskFile(ModbusTaskFile &other, int index)
    : ModbusTask(other, index), m_file(other.m_file), m_offset(quint16(other.m_offset + 2 * index)),
      m_length(other.m_length), m_modbusBlockSize(other.m_modbusBlockSize)
{}

ModbusTask *ModbusTaskFile::clone() const
{
    return new ModbusTaskFile(*this);
}

QList<ModbusTask *> ModbusTaskFile::split()
{
    QList<ModbusTask *> parts;
    const int n = int(dataList().size());
    parts.reserve(n);
    for (int i = 0; i < n; ++i)
        parts.append(new ModbusTaskFile(*this, i));
    return parts;
}
