#ifndef MODBUSTASKARCHRECORD65_H
#define MODBUSTASKARCHRECORD65_H

#include "modbustaskarch.h"

class ModbusArchRecord;

// A read of count records from a label, always forward. The answer is one element per record.
class DORRIKBUS_EXPORT ModbusTaskArchRecord65 : public ModbusTaskArch
{
public:
    // Record size and interval from the item.
    ModbusTaskArchRecord65(ModbusArchRecord &item, quint32 label, int interval);
    ModbusTaskArchRecord65(ModbusItemBase &item, quint32 label, int interval, quint16 archIndex,
                           DorrikBus::ArchFunc func, DorrikBus::ArchType archType, int recordSize,
                           DorrikBus::ArchInterval archInterval);
    ModbusTaskArchRecord65(const ModbusTaskArchRecord65 &other) = default;
    ModbusTaskArchRecord65(ModbusTaskArchRecord65 &other, int index);

    ModbusTask *clone() const override;
    QList<ModbusTask *> split() override;
    // The label step records after label; ok (may be null) tells whether it can exist.
    virtual quint32 getNextLabel(quint32 label, bool *ok, quint32 step) const;

    quint32 label() const { return m_label; }
    void setLabel(quint32 label) { m_label = label; }
    int recordSize() const { return m_recordSize; }
    DorrikBus::ArchInterval archInterval() const { return m_archInterval; }

private:
    quint32 m_label = 0;
    int m_recordSize = 0;
    DorrikBus::ArchInterval m_archInterval = DorrikBus::Hour;
};

#endif
