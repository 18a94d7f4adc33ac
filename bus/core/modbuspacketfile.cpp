#include "modbuspacketfile.h"

#include <QCoreApplication>

ModbusPacketFile::ModbusPacketFile() : ModbusPacket(DorrikBus::FilePacket) {}

ModbusPacketFile::~ModbusPacketFile() = default;

QString ModbusPacketFile::toString(bool oneLine) const
{
    QString text = ModbusPacket::toString(false);
    text += QCoreApplication::translate("QObject", "requested file: %1 (0x%2) \n")
                .arg(uint(requestFile))
                .arg(uint(requestFile), 0, 16);
    text += QCoreApplication::translate("QObject", "requested offset: %1 (0x%2) \n")
                .arg(requestOffset)
                .arg(requestOffset, 0, 16);
    text += QCoreApplication::translate("QObject", "request registers count: %1\n")
                .arg(uint(requestRegistersCount));
    text += QCoreApplication::translate("QObject", "registers written: %1\n")
                .arg(uint(registersWritten));
    text += QStringLiteral("bytes [%1]:\n").arg(bytes.size());
    // The hex dump closes the text without a line break, in the one-line form too.
    text += QLatin1String("  ") + QString::fromLatin1(bytes.toHex());
    return joinedLines(text, oneLine);
}
