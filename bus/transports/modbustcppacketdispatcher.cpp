#include "modbustcppacketdispatcher.h"

ModbusTCPPacketDispatcher::ModbusTCPPacketDispatcher(QObject *parent) : PacketDispatcher(parent) {}

QString ModbusTCPPacketDispatcher::toString(bool oneLine) const
{
    QString text = tr("Modbus TCP packet dispatcher: ") + QLatin1Char('\n');
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

void ModbusTCPPacketDispatcher::onPacketReceiving(const IPacket &, const Target *, bool &) {}

void ModbusTCPPacketDispatcher::onPacketSending(const IPacket &, const Target *, bool &) {}
