#ifndef MODBUSTCPTARGET_H
#define MODBUSTCPTARGET_H

#include "dorrikbus_global.h"
#include "modbusiptarget.h"

class QTcpSocket;

// A Modbus TCP peer: the IP target plus the MBAP transaction identifier written into every frame
// sent to it. The identifier never advances, so every frame carries the one it was built with.
// There is deliberately no Q_OBJECT: the meta-object reports "ModbusIpTarget", and code that must
// tell a TCP target apart uses dynamic_cast.
class DORRIKBUS_EXPORT ModbusTcpTarget : public ModbusIpTarget
{
public:
    explicit ModbusTcpTarget(QObject *parent = nullptr);
    ModbusTcpTarget(const ModbusTcpTarget &other);
    ModbusTcpTarget(const QHostAddress &address, int port);
    explicit ModbusTcpTarget(int port);
    // The peer of a connected socket. The parent is not applied: the creator deletes the target.
    ModbusTcpTarget(const QTcpSocket &socket, QObject *parent);

    quint16 transactionID() const { return m_transactionID; }

    bool operator==(const ModbusTcpTarget &other) const;
    bool operator!=(const ModbusTcpTarget &other) const { return !(*this == other); }

    QString toString(bool oneLine = false) const override;

private:
    quint16 m_transactionID = 0;
};

#endif
