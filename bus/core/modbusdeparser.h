#ifndef MODBUSDEPARSER_H
#define MODBUSDEPARSER_H

#include "deparser.h"
#include "dorrikbus.h"
#include "dorrikbus_global.h"

class ModbusBytes;
class ModbusPacket;

// Writes the PDU of a Modbus packet (function code and data). The framing deparsers derive from
// it and wrap the PDU; deparseModbusPDU throws a QString for a packet it must not write.
class DORRIKBUS_EXPORT ModbusDeparser : public Deparser
{
    Q_OBJECT
public:
    explicit ModbusDeparser(QObject *parent = nullptr);
    ~ModbusDeparser() override;

    // The most registers one write request carries (function 16 and file write 69).
    static constexpr int MaxWriteRegisters = 122;

    bool canDeparse(const IPacket &packet) const override;
    virtual bool isFunctionSupported(DorrikBus::FunctionCode code) const;

    void deparseModbusPDU(const ModbusPacket &packet, ModbusBytes &out) const;
};

#endif
