#ifndef MODBUSTASKARCH_H
#define MODBUSTASKARCH_H

#include "modbustask.h"

class ModbusItemArchBase;

// A read of one of the instrument's archives: which archive (number, function family, type) and
// the direction of the search. The kinds say what is asked: records or present labels.
class DORRIKBUS_EXPORT ModbusTaskArch : public ModbusTask
{
public:
    // Archive number, function and type from the item.
    ModbusTaskArch(ModbusItemArchBase &item, DorrikBus::ArchDirection direction, int interval);
    // The same for any item, the archive given.
    ModbusTaskArch(ModbusItemBase &item, DorrikBus::ArchDirection direction, int interval,
                   quint16 archIndex, DorrikBus::ArchFunc func, DorrikBus::ArchType archType);
    ModbusTaskArch(const ModbusTaskArch &other) = default;
    ModbusTaskArch(ModbusTaskArch &other, int index);

    ModbusTask *clone() const override;
    QList<ModbusTask *> split() override;

    quint16 archIndex() const { return m_archIndex; }
    DorrikBus::ArchFunc func() const { return m_func; }
    DorrikBus::ArchType archType() const { return m_archType; }
    DorrikBus::ArchDirection direction() const { return m_direction; }

private:
    quint16 m_archIndex = 0;
    DorrikBus::ArchFunc m_func = DorrikBus::Func65;
    DorrikBus::ArchType m_archType = DorrikBus::TimeArch;
    DorrikBus::ArchDirection m_direction = DorrikBus::Forward;
};

#endif
