#include "modbusparseinfo.h"

ModbusParseInfo::ModbusParseInfo() : ModbusParseInfo(DorrikBus::Request) {}

ModbusParseInfo::ModbusParseInfo(DorrikBus::PacketState state)
    : ModbusParseInfo(state, 1, DorrikBus::IndexArch)
{}

ModbusParseInfo::ModbusParseInfo(DorrikBus::PacketState state, unsigned short recordsCount,
                                 DorrikBus::ArchType archType)
    : state(state), recordsCount(recordsCount), archType(archType)
{}

ModbusParseInfo::ModbusParseInfo(DorrikBus::PacketState state, DorrikBus::ArchType archType)
    : ModbusParseInfo(state, 1, archType)
{}

QString ModbusParseInfo::toString(bool oneLine) const
{
    QString text = QLatin1String("state: ") + DorrikBus::packetStateStr(state) + QLatin1Char('\n') +
                   QLatin1String("records count: ") + QString::number(recordsCount) +
                   QLatin1Char('\n') + QLatin1String("archType: ") +
                   DorrikBus::archTypeStr(archType) + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

bool ModbusParseInfo::operator==(const ModbusParseInfo &other) const
{
    return state == other.state && recordsCount == other.recordsCount && archType == other.archType;
}
