#ifndef MODBUSTASKADDRESSED_H
#define MODBUSTASKADDRESSED_H

#include "modbustask.h"

// A read or write of a run of registers (or coils, or discrete inputs) at a logical address.
// The creating item passes its own address.
class DORRIKBUS_EXPORT ModbusTaskAddressed : public ModbusTask
{
public:
    ModbusTaskAddressed(ModbusItemBase &item, quint32 address, const ModbusBytesArray &bytes);
    ModbusTaskAddressed(ModbusItemBase &item, quint32 address, int interval);
    ModbusTaskAddressed(ModbusItemBase &item, quint32 address, DorrikBus::ModbusTaskType type,
                        int interval);
    ModbusTaskAddressed(const ModbusTaskAddressed &other);
    // Address = other's + index x the bytes per address unit of other's address type.
    ModbusTaskAddressed(ModbusTaskAddressed &other, int index);

    ModbusTask *clone() const override;
    QList<ModbusTask *> split() override;

    quint32 address() const { return m_address; }
    void setAddress(quint32 address) { m_address = address; }

private:
    quint32 m_address = 0;
};

#endif
