#include "modbusserialclient.h"

ModbusSerialClient::ModbusSerialClient(QObject *parent)
    : ModbusSerialTransport(DorrikBus::ClientBus, parent)
{}
