#include "modbuspacketreg.h"

#include <QCoreApplication>

ModbusPacketReg::ModbusPacketReg() : ModbusPacket(DorrikBus::RegistersPacket) {}

ModbusPacketReg::ModbusPacketReg(const ModbusPacketReg &other) = default;

ModbusPacketReg::~ModbusPacketReg() = default;

QString ModbusPacketReg::toString(bool oneLine) const
{
    QString text = ModbusPacket::toString(false);
    text += QCoreApplication::translate("QObject", "request address: %1 (%2) \n")
                .arg(m_requestAddress)
                .arg(DorrikBus::absToLog(m_requestAddress, functionCode()));
    text += QCoreApplication::translate("QObject", "request registers count: %1\n")
                .arg(m_requestRegistersCount);
    text +=
        QCoreApplication::translate("QObject", "registers written: %1\n").arg(m_registersWritten);
    const int count = registersCount();
    text += QStringLiteral("registers [%1]:\n").arg(count);
    for (int i = 0; i < count; ++i) {
        text += QLatin1String("  register ") + QString::number(i) + QLatin1String(": ") +
                QString::fromLatin1(m_regBytes.mid(2 * i, 2).toHex()) + QLatin1Char('\n');
    }
    return joinedLines(text, oneLine);
}

void ModbusPacketReg::appendRegBytes(const ModbusBytes &bytes)
{
    m_regBytes.QByteArray::append(bytes);
}

void ModbusPacketReg::appendRegValue(unsigned short value)
{
    m_regBytes.QByteArray::append(char(value >> 8));
    m_regBytes.QByteArray::append(char(value & 0xFF));
}

bool ModbusPacketReg::operator==(const ModbusPacketReg &other) const
{
    return ModbusPacket::operator==(other) && m_regBytes == other.m_regBytes &&
           m_requestAddress == other.m_requestAddress &&
           m_requestRegistersCount == other.m_requestRegistersCount &&
           m_registersWritten == other.m_registersWritten;
}
