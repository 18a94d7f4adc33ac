#ifndef MODBUSTARGET_H
#define MODBUSTARGET_H

#include "dorrikbus_global.h"
#include "target.h"

// A Modbus peer on a link that has only one; the device address travels in the packet.
class DORRIKBUS_EXPORT ModbusTarget : public Target
{
    Q_OBJECT

public:
    explicit ModbusTarget(QObject *parent = nullptr);
    ModbusTarget(const ModbusTarget &other);

    // Any two plain Modbus targets are equal.
    bool operator==(const ModbusTarget &) const { return true; }
    bool operator!=(const ModbusTarget &other) const { return !(*this == other); }

    QString toString(bool oneLine = false) const override;
};

#endif
