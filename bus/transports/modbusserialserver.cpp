#include "modbusserialserver.h"

ModbusSerialServer::ModbusSerialServer(QObject *parent)
    : ModbusSerialTransport(DorrikBus::ServerBus, parent)
{}

ModbusSerialServer::ModbusSerialServer(const QString &port, QObject *parent)
    : ModbusSerialTransport(DorrikBus::ServerBus, parent)
{
    setPort(port);
}
