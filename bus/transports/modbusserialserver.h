#ifndef MODBUSSERIALSERVER_H
#define MODBUSSERIALSERVER_H

#include "modbusserialtransport.h"

// The slave side of a serial line: collects requests from the line and answers them.
class DORRIKBUS_EXPORT ModbusSerialServer : public ModbusSerialTransport
{
    Q_OBJECT
public:
    explicit ModbusSerialServer(QObject *parent = nullptr);
    ModbusSerialServer(const QString &port, QObject *parent = nullptr);
};

#endif
