#ifndef MODBUSTASKFILE_H
#define MODBUSTASKFILE_H

#include "modbustask.h"

// A read or write of file records. The creating item passes its file, first record, length and
// registers per request.
class DORRIKBUS_EXPORT ModbusTaskFile : public ModbusTask
{
public:
    ModbusTaskFile(ModbusItemBase &item, DorrikBus::ModbusTaskType type, int interval, quint8 file,
                   quint16 offset, int length, int modbusBlockSize);
    ModbusTaskFile(const ModbusTaskFile &other) = default;
    // Offset = other's + 2 x index, wrapping at 16 bits.
    ModbusTaskFile(ModbusTaskFile &other, int index);

    ModbusTask *clone() const override;
    QList<ModbusTask *> split() override;

    quint8 file() const { return m_file; }
    quint16 offset() const { return m_offset; }
    int length() const { return m_length; }
    int modbusBlockSize() const { return m_modbusBlockSize; }

private:
    quint8 m_file = 0;
    quint16 m_offset = 0;
    int m_length = 0;
    int m_modbusBlockSize = 0;
};

#endif
