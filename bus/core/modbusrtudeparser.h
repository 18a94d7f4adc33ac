#ifndef MODBUSRTUDEPARSER_H
#define MODBUSRTUDEPARSER_H

#include "dorrikbus_global.h"
#include "modbusdeparser.h"

class ModbusPacket;

// Writes a Modbus RTU frame: device address, PDU, CRC-16.
class DORRIKBUS_EXPORT ModbusRTUDeparser : public ModbusDeparser
{
    Q_OBJECT
public:
    explicit ModbusRTUDeparser(QObject *parent = nullptr);

    QString toString(bool oneLine = false) const override;
    bool canDeparse(const IPacket &packet) const override;
    bool deparse(const IPacket &packet, ModbusBytes &out, const Target *target = nullptr) override;

    // Replaces out with the address byte, the PDU and the CRC-16 of both.
    void deparseRTU(ModbusBytes &out, const ModbusPacket &packet, const ModbusBytes &pdu) const;
};

#endif
