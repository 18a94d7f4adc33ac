#include "modbustcptarget.h"

#include <QCoreApplication>
#include <QTcpSocket>

ModbusTcpTarget::ModbusTcpTarget(QObject *parent) : ModbusIpTarget(parent) {}

ModbusTcpTarget::ModbusTcpTarget(const ModbusTcpTarget &other)
    : ModbusIpTarget(other), m_transactionID(other.m_transactionID)
{}

ModbusTcpTarget::ModbusTcpTarget(const QHostAddress &address, int port)
    : ModbusIpTarget(address, port)
{}

ModbusTcpTarget::ModbusTcpTarget(int port) : ModbusIpTarget(port) {}

ModbusTcpTarget::ModbusTcpTarget(const QTcpSocket &socket, QObject *)
    : ModbusIpTarget(socket.peerAddress(), socket.peerPort())
{}

bool ModbusTcpTarget::operator==(const ModbusTcpTarget &other) const
{
    return ModbusIpTarget::operator==(other) && m_transactionID == other.m_transactionID;
}

QString ModbusTcpTarget::toString(bool oneLine) const
{
    // Without a meta-object of its own the class shares the translation context of its base.
    QString text =
        QCoreApplication::translate("ModbusIpTarget", "address: %1; port: %2; transaction ID: %3\n")
            .arg(addressStr())
            .arg(port())
            .arg(m_transactionID);
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
