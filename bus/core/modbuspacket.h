#ifndef MODBUSPACKET_H
#define MODBUSPACKET_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "ipacket.h"

#include <QString>

// What every Modbus request or answer has, whatever its framing. The kind is fixed at
// construction and tells which concrete class the packet is.
class DORRIKBUS_EXPORT ModbusPacket : public IPacket
{
public:
    explicit ModbusPacket(const DorrikBus::PacketKind &kind);
    ModbusPacket(const ModbusPacket &other);
    ModbusPacket &operator=(const ModbusPacket &other) = default;
    ~ModbusPacket() override;

    QString toString(bool oneLine = false) const override;

    DorrikBus::FunctionCode functionCode() const { return m_functionCode; }
    DorrikBus::ExceptionCode exceptionCode() const { return m_exceptionCode; }
    DorrikBus::PacketState state() const { return m_state; }
    DorrikBus::PacketKind kind() const { return m_kind; }
    unsigned char address() const { return m_address; }
    bool hasException() const { return m_exceptionCode != DorrikBus::NoException; }

    void setFunctionCode(DorrikBus::FunctionCode code) { m_functionCode = code; }
    void setExceptionCode(DorrikBus::ExceptionCode code) { m_exceptionCode = code; }
    void setState(DorrikBus::PacketState state) { m_state = state; }
    void setAddress(unsigned char address) { m_address = address; }

    bool operator==(const ModbusPacket &other) const;
    bool operator!=(const ModbusPacket &other) const { return !(*this == other); }

protected:
    // Replaces every line break by "; ", the one-line form of every packet text.
    static QString joinedLines(QString text, bool oneLine);

private:
    DorrikBus::FunctionCode m_functionCode;
    DorrikBus::ExceptionCode m_exceptionCode;
    DorrikBus::PacketState m_state;
    DorrikBus::PacketKind m_kind;
    unsigned char m_address = 1;
};

#endif
