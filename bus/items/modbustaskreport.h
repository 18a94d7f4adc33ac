#ifndef MODBUSTASKREPORT_H
#define MODBUSTASKREPORT_H

#include "modbustask.h"

// A read of the device report (function 17). It is never split: the report item makes it with
// its single data item.
class DORRIKBUS_EXPORT ModbusTaskReport : public ModbusTask
{
public:
    ModbusTaskReport(ModbusItemBase &item, int interval);
    ModbusTaskReport(const ModbusTaskReport &other) = default;

    ModbusTask *clone() const override;
    // Refused: a warning and an empty list.
    QList<ModbusTask *> split() override;
};

#endif
