#include "modbusiptarget.h"

ModbusIpTarget::ModbusIpTarget(QObject *parent) : ModbusTarget(parent) {}

ModbusIpTarget::ModbusIpTarget(const ModbusIpTarget &other)
    : ModbusTarget(other), m_address(other.m_address), m_port(other.m_port)
{}

ModbusIpTarget::ModbusIpTarget(const QHostAddress &address, int port)
    : ModbusTarget(nullptr), m_address(address), m_port(port)
{}

ModbusIpTarget::ModbusIpTarget(int port) : ModbusTarget(nullptr), m_port(port) {}

void ModbusIpTarget::setAddress(const QHostAddress &address)
{
    if (m_address == address)
        return;
    m_address = address;
    emit addressChanged();
}

void ModbusIpTarget::setAddressStr(const QString &text)
{
    setAddress(QHostAddress(text));
}

void ModbusIpTarget::setPort(int port)
{
    if (m_port == port)
        return;
    m_port = port;
    emit portChanged();
}

bool ModbusIpTarget::operator==(const ModbusIpTarget &other) const
{
    return ModbusTarget::operator==(other) && m_address == other.m_address &&
           m_port == other.m_port;
}

QString ModbusIpTarget::toString(bool oneLine) const
{
    QString text = tr("address: %1; port: %2\n").arg(addressStr()).arg(m_port);
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
