#include "modbuspacketreport.h"

ModbusPacketReport::ModbusPacketReport() : ModbusPacket(DorrikBus::ReportPacket)
{
    setFunctionCode(DorrikBus::ReportSlaveId);
}

ModbusPacketReport::ModbusPacketReport(const ModbusPacketReport &other)
    : ModbusPacket(other), m_bytes(other.m_bytes)
{
    setFunctionCode(DorrikBus::ReportSlaveId);
}

ModbusPacketReport::~ModbusPacketReport() = default;

QString ModbusPacketReport::toString(bool oneLine) const
{
    QString text = ModbusPacket::toString(false);
    text +=
        QLatin1String("reportBytes: ") + QString::fromLatin1(m_bytes.toHex()) + QLatin1Char('\n');
    text += QLatin1String("reportString: ") + devName() + QLatin1Char('\n');
    return joinedLines(text, oneLine);
}

QString ModbusPacketReport::devName() const
{
    return DorrikBus::getDevNameFromReportBytes(m_bytes);
}

void ModbusPacketReport::setDevName(const QString &name)
{
    m_bytes = DorrikBus::setDevNameToReportBytes(m_bytes, name);
}

bool ModbusPacketReport::operator==(const ModbusPacketReport &other) const
{
    return ModbusPacket::operator==(other) && m_bytes == other.m_bytes;
}
