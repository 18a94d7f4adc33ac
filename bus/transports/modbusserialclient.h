#ifndef MODBUSSERIALCLIENT_H
#define MODBUSSERIALCLIENT_H

#include "modbusserialtransport.h"

// The master side of a serial line: sends a request and waits for the answer.
class DORRIKBUS_EXPORT ModbusSerialClient : public ModbusSerialTransport
{
    Q_OBJECT
public:
    explicit ModbusSerialClient(QObject *parent = nullptr);
};

#endif
