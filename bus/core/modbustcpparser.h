#ifndef MODBUSTCPPARSER_H
#define MODBUSTCPPARSER_H

#include "dorrikbus_global.h"
#include "modbusparser.h"

class ModbusPacket;
class ModbusTcpTarget;

// Reads a Modbus TCP frame: the 7-byte MBAP header, then the PDU.
class DORRIKBUS_EXPORT ModbusTCPParser : public ModbusParser
{
    Q_OBJECT
public:
    explicit ModbusTCPParser(QObject *parent = nullptr);

    bool canParse(const ModbusBytes &bytes, DorrikBus::PacketState state) const override;
    IPacket *parse(const ModbusBytes &bytes, const IParseInfo &info,
                   const Target *target = nullptr) override;
    QString toString(bool oneLine = false) const override;

    // Checks the protocol identifier and the length, then sets the address from the unit
    // identifier; throws a text on a bad header. The transaction identifier is not read.
    void parseMBAP(const ModbusBytes &bytes, const ModbusTcpTarget *tcpTarget,
                   ModbusPacket &packet) const;
};

#endif
