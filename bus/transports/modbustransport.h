#ifndef MODBUSTRANSPORT_H
#define MODBUSTRANSPORT_H

#include "dorrikbus.h"
#include "eventedtransport.h"

class ModbusParser;
class ModbusDeparser;

// The base of every Modbus link: a client or server side fixed at construction, and the
// parser and deparser of the link's framing.
class DORRIKBUS_EXPORT ModbusTransport : public EventedTransport
{
    Q_OBJECT
    Q_PROPERTY(DorrikBus::BusType busType READ busType CONSTANT)

public:
    ModbusTransport(DorrikBus::BusType busType, QObject *parent = nullptr, bool eventable = false);

    DorrikBus::BusType busType() const { return m_busType; }

    const Target *defaultTarget() override;
    // The peer of a client link's requests; null for a server link.
    virtual const Target *clientTarget();
    // New codecs of the link's framing, owned by `parent`.
    virtual ModbusParser *createParser(QObject *parent) = 0;
    virtual ModbusDeparser *createDeparser(QObject *parent) = 0;

private:
    const DorrikBus::BusType m_busType;
};

#endif
