#include "modbuspacket.h"

ModbusPacket::ModbusPacket(const DorrikBus::PacketKind &kind)
    : m_functionCode(DorrikBus::UnknownFunctionCode), m_exceptionCode(DorrikBus::NoException),
      m_state(DorrikBus::Request), m_kind(kind)
{}

ModbusPacket::ModbusPacket(const ModbusPacket &other) = default;

ModbusPacket::~ModbusPacket() = default;

QString ModbusPacket::toString(bool oneLine) const
{
    QString text;
    text += QLatin1String("function code: ") + DorrikBus::functionCodeStr(m_functionCode) +
            QLatin1Char('\n');
    text += QLatin1String("exception code: ") + DorrikBus::exceptionCodeStr(m_exceptionCode) +
            QLatin1Char('\n');
    text += QLatin1String("state: ") + DorrikBus::packetStateStr(m_state) + QLatin1Char('\n');
    text += QLatin1String("kind: ") + DorrikBus::packetKindStr(m_kind) + QLatin1Char('\n');
    text += QLatin1String("address: ") + QString::number(uint(m_address)) + QLatin1Char('\n');
    return joinedLines(text, oneLine);
}

bool ModbusPacket::operator==(const ModbusPacket &other) const
{
    return m_functionCode == other.m_functionCode && m_exceptionCode == other.m_exceptionCode &&
           m_state == other.m_state && m_kind == other.m_kind && m_address == other.m_address;
}

QString ModbusPacket::joinedLines(QString text, bool oneLine)
{
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
