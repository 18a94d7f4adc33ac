#ifndef MODBUSRTUPARSER_H
#define MODBUSRTUPARSER_H

#include "dorrikbus_global.h"
#include "modbusparser.h"

class ModbusPacket;

// Reads a Modbus RTU frame: device address, PDU, CRC-16.
class DORRIKBUS_EXPORT ModbusRTUParser : public ModbusParser
{
    Q_OBJECT
public:
    explicit ModbusRTUParser(QObject *parent = nullptr);

    bool canParse(const ModbusBytes &bytes, DorrikBus::PacketState state) const override;
    IPacket *parse(const ModbusBytes &bytes, const IParseInfo &info,
                   const Target *target = nullptr) override;
    QString toString(bool oneLine = false) const override;

    // Sets the address and checks the CRC; throws a text on a mismatch.
    void parseRTU(const ModbusBytes &bytes, ModbusPacket &packet) const;
};

#endif
