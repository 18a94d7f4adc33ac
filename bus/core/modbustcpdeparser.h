#ifndef MODBUSTCPDEPARSER_H
#define MODBUSTCPDEPARSER_H

#include "dorrikbus_global.h"
#include "modbusdeparser.h"

class ModbusPacket;
class ModbusTcpTarget;

// Writes a Modbus TCP frame: the 7-byte MBAP header, then the PDU.
class DORRIKBUS_EXPORT ModbusTCPDeparser : public ModbusDeparser
{
    Q_OBJECT
public:
    explicit ModbusTCPDeparser(QObject *parent = nullptr);

    QString toString(bool oneLine = false) const override;
    bool canDeparse(const IPacket &packet) const override;
    bool deparse(const IPacket &packet, ModbusBytes &out, const Target *target = nullptr) override;

    // Replaces header with the MBAP header for a PDU of the given size.
    void deparseMBAP(ModbusBytes &header, const ModbusTcpTarget &tcpTarget, const ModbusBytes &pdu,
                     const ModbusPacket &packet) const;
};

#endif
