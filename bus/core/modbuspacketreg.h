#ifndef MODBUSPACKETREG_H
#define MODBUSPACKETREG_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbuspacket.h"

// Register functions 3, 4, 6 and 16: the register contents and the request fields.
class DORRIKBUS_EXPORT ModbusPacketReg : public ModbusPacket
{
public:
    ModbusPacketReg();
    ModbusPacketReg(const ModbusPacketReg &other);
    ModbusPacketReg &operator=(const ModbusPacketReg &other) = default;
    ~ModbusPacketReg() override;

    QString toString(bool oneLine = false) const override;

    const ModbusBytes &regBytes() const { return m_regBytes; }
    unsigned short requestAddress() const { return m_requestAddress; }
    unsigned short registersWritten() const { return m_registersWritten; }
    unsigned short requestRegistersCount() const { return m_requestRegistersCount; }
    // Whole registers only: an odd trailing byte is not counted.
    int registersCount() const { return int(m_regBytes.size() / 2); }

    void setRegBytes(const ModbusBytes &bytes) { m_regBytes = bytes; }
    void setRequestAddress(unsigned short address) { m_requestAddress = address; }
    void setRegistersWritten(unsigned short count) { m_registersWritten = count; }
    void setRequestRegistersCount(unsigned short count) { m_requestRegistersCount = count; }
    void appendRegBytes(const ModbusBytes &bytes);
    void appendRegValue(unsigned short value);

    bool operator==(const ModbusPacketReg &other) const;
    bool operator!=(const ModbusPacketReg &other) const { return !(*this == other); }

private:
    ModbusBytes m_regBytes;
    unsigned short m_requestAddress = 0;
    unsigned short m_registersWritten = 0;
    unsigned short m_requestRegistersCount = 0;
};

#endif
