#ifndef MODBUSTRANSPORTER_H
#define MODBUSTRANSPORTER_H

#include "transporter.h"

class ModbusTransport;

// A registry of Modbus links only, with the one client link that requests without an
// explicit target go through.
class DORRIKBUS_EXPORT ModbusTransporter : public Transporter
{
    Q_OBJECT

public:
    explicit ModbusTransporter(QObject *parent = nullptr);

    ModbusTransport *clientTransport() const;
    void setClientTransport(ModbusTransport *transport);

public slots:
    void addTransport(EventedTransport &transport, bool takeOwnership = false) override;
    void removeTransport(EventedTransport &transport) override;
};

#endif
