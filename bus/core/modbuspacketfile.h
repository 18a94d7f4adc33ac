#ifndef MODBUSPACKETFILE_H
#define MODBUSPACKETFILE_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbuspacket.h"

// File read (68) and write (69). The fields are public: the request API and the PDU reader and
// writer use them directly.
class DORRIKBUS_EXPORT ModbusPacketFile : public ModbusPacket
{
public:
    ModbusPacketFile();
    ModbusPacketFile(const ModbusPacketFile &other) = default;
    ModbusPacketFile &operator=(const ModbusPacketFile &other) = default;
    ~ModbusPacketFile() override;

    QString toString(bool oneLine = false) const override;

    unsigned char requestFile = 0;
    unsigned short requestOffset = 0;
    unsigned char requestRegistersCount = 0;
    ModbusBytes bytes;
    unsigned char registersWritten = 0;
};

#endif
