#ifndef MODBUSPARSEINFO_H
#define MODBUSPARSEINFO_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "iparseinfo.h"

// Request or response, and for an archive answer how many records it holds and of which type:
// the answer itself does not say.
class DORRIKBUS_EXPORT ModbusParseInfo : public IParseInfo
{
public:
    ModbusParseInfo();
    explicit ModbusParseInfo(DorrikBus::PacketState state);
    ModbusParseInfo(DorrikBus::PacketState state, unsigned short recordsCount,
                    DorrikBus::ArchType archType);
    ModbusParseInfo(DorrikBus::PacketState state, DorrikBus::ArchType archType);

    QString toString(bool oneLine = false) const override;

    bool operator==(const ModbusParseInfo &other) const;
    bool operator!=(const ModbusParseInfo &other) const { return !(*this == other); }

    DorrikBus::PacketState state;
    unsigned short recordsCount = 1;
    DorrikBus::ArchType archType;
};

#endif
