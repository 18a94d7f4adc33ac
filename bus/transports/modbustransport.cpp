#include "modbustransport.h"

ModbusTransport::ModbusTransport(DorrikBus::BusType busType, QObject *parent, bool eventable)
    : EventedTransport(parent, eventable), m_busType(busType)
{}

const Target *ModbusTransport::defaultTarget()
{
    return clientTarget();
}

const Target *ModbusTransport::clientTarget()
{
    return nullptr;
}
