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

    // The size of the whole answer to `request` at the front of `bytes`: the request's unit,
    // its function code (or that code's exception) and a valid CRC over the size that the
    // function code gives. 0 while the bytes form no such frame (too few yet, another unit or
    // function, a bad CRC, or a broadcast, which is not answered).
    static int wholeAnswerSize(const QByteArray &request, const QByteArray &bytes);
};

#endif
