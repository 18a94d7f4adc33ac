#include "modbustransporter.h"

#include "modbustransport.h"

ModbusTransporter::ModbusTransporter(QObject *parent) : Transporter(parent) {}

ModbusTransport *ModbusTransporter::clientTransport() const
{
    const QList<EventedTransport *> links = transports();
    for (EventedTransport *transport : links) {
        auto *modbus = qobject_cast<ModbusTransport *>(transport);
        if (modbus && modbus->busType() == DorrikBus::ClientBus)
            return modbus;
    }
    return nullptr;
}

void ModbusTransporter::setClientTransport(ModbusTransport *transport)
{
    if (transport && transport->busType() == DorrikBus::ServerBus) {
        setErrorString(tr("you can set only modbus transport of ModbusClient type"));
        return;
    }
    const QList<EventedTransport *> links = transports();
    for (auto it = links.crbegin(); it != links.crend(); ++it) {
        auto *modbus = qobject_cast<ModbusTransport *>(*it);
        if (modbus && modbus != transport && modbus->busType() == DorrikBus::ClientBus)
            removeTransport(*modbus);
    }
    if (!transport)
        return;
    if (!transports().contains(transport))
        addTransport(*transport);
}

void ModbusTransporter::addTransport(EventedTransport &transport, bool takeOwnership)
{
    if (!qobject_cast<ModbusTransport *>(&transport)) {
        setErrorString(tr("you can add only ModbusTransport"));
        return;
    }
    Transporter::addTransport(transport, takeOwnership);
}

void ModbusTransporter::removeTransport(EventedTransport &transport)
{
    Transporter::removeTransport(transport);
}
