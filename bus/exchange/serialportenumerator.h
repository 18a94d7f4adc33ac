#ifndef SERIALPORTENUMERATOR_H
#define SERIALPORTENUMERATOR_H

#include "dorrikbus_global.h"

#include <QList>
#include <QString>

// Lists the serial ports of the computer as plain records. The serial ports model and its
// static name list read through one of these, so that tests can hand in ports of their own.
class DORRIKBUS_EXPORT SerialPortEnumerator
{
public:
    struct Port
    {
        QString name;
        QString systemLocation;
        QString description;
        QString manufacturer;
        QString vendorIdentifier; // four lower-case hexadecimal digits, empty when none
        QString productIdentifier;
        bool isNull = true;
    };

    virtual ~SerialPortEnumerator();
    virtual QList<Port> ports() const = 0;

    // The ports QtSerialPort reports, in its order.
    static QList<Port> availablePorts();
};

#endif
