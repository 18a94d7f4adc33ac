#include "serialportenumerator.h"

#include <QSerialPortInfo>

SerialPortEnumerator::~SerialPortEnumerator() = default;

QList<SerialPortEnumerator::Port> SerialPortEnumerator::availablePorts()
{
    const auto identifier = [](bool has, quint16 id) {
        return has ? QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')) : QString();
    };
    QList<Port> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        Port port;
        port.name = info.portName();
        port.systemLocation = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.vendorIdentifier = identifier(info.hasVendorIdentifier(), info.vendorIdentifier());
        port.productIdentifier = identifier(info.hasProductIdentifier(), info.productIdentifier());
        port.isNull = info.isNull();
        ports.append(port);
    }
    return ports;
}
