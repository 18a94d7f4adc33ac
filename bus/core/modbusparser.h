#ifndef MODBUSPARSER_H
#define MODBUSPARSER_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "vparser.h"

class ModbusBytes;
class ModbusPacket;
class ModbusParseInfo;

// Reads the PDU of a Modbus frame (function code and data). The framing parsers derive from it,
// cut the PDU out of their frame and call createPacket and parseModbusPDU, which throw a QString
// for a bad PDU; the framing parser catches it.
class DORRIKBUS_EXPORT ModbusParser : public VParser
{
    Q_OBJECT
public:
    explicit ModbusParser(QObject *parent = nullptr);
    ~ModbusParser() override;

    // The largest PDU: 256 bytes of RTU frame less address and CRC.
    static constexpr int MaxPduSize = 253;

    bool isValidFunctionCodeNum(unsigned char code) const;
    bool isFunctionSupported(DorrikBus::FunctionCode code) const;
    bool isValidExceptionCodeNum(unsigned char code) const;
    bool isValidArchTypeNum(unsigned char value) const;
    bool isValidArchDirectionNum(unsigned char value) const;

    // Whether pdu is one whole PDU: false too while it is still incomplete.
    bool canParse(const ModbusBytes &pdu, DorrikBus::PacketState state) const override;
    bool checkDataSize(const ModbusBytes &pdu, DorrikBus::PacketState state) const;
    // A write-multiple request whose quantity or byte count breaks the protocol's rule: its byte
    // count cannot be trusted to say where it ends, so it is whole only where its frame says (the
    // MBAP length, the RTU check value), and is answered with exception 3 whatever it carries.
    static bool isWholeByFrameOnly(const ModbusBytes &pdu, DorrikBus::PacketState state);
    // A new packet of the function's kind with function code, exception code and state set.
    ModbusPacket *createPacket(const ModbusBytes &pdu, const ModbusParseInfo &info) const;
    void parseModbusPDU(const ModbusBytes &pdu, const ModbusParseInfo &info,
                        ModbusPacket &packet) const;

    QString toString(bool oneLine = false) const override;
};

#endif
