#ifndef MODBUSIPTARGET_H
#define MODBUSIPTARGET_H

#include "dorrikbus_global.h"
#include "modbustarget.h"

#include <QHostAddress>

// A peer reached by host address and port.
class DORRIKBUS_EXPORT ModbusIpTarget : public ModbusTarget
{
    Q_OBJECT
    Q_PROPERTY(QString address READ addressStr WRITE setAddressStr NOTIFY addressChanged)
    Q_PROPERTY(int port READ port WRITE setPort NOTIFY portChanged)

public:
    explicit ModbusIpTarget(QObject *parent = nullptr);
    ModbusIpTarget(const ModbusIpTarget &other);
    ModbusIpTarget(const QHostAddress &address, int port);
    explicit ModbusIpTarget(int port);

    const QHostAddress &address() const { return m_address; }
    void setAddress(const QHostAddress &address);
    // Empty for the null address.
    QString addressStr() const { return m_address.toString(); }
    // A text that is not an IPv4 or IPv6 address stores the null address.
    void setAddressStr(const QString &text);

    int port() const { return m_port; }
    void setPort(int port);

    bool operator==(const ModbusIpTarget &other) const;
    bool operator!=(const ModbusIpTarget &other) const { return !(*this == other); }

    QString toString(bool oneLine = false) const override;

signals:
    void addressChanged();
    void portChanged();

private:
    QHostAddress m_address{QHostAddress::LocalHost};
    int m_port = 502;
};

#endif
