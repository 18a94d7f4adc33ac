#ifndef SERIALPORTOPTIONS_H
#define SERIALPORTOPTIONS_H

#include "dorrikbus_global.h"

#include <QMetaType>

// Line settings carried to and from the port thread. Each enum field holds the value of the
// serial-port library's enum of that name (data error policy: our own, Qt 6 has none).
// A baud rate not greater than 0 means "not known": getOptions never reads the rate back.
struct DORRIKBUS_EXPORT SerialPortOptions
{
    int baudRate = 0;
    int dataBits = 8;
    int parity = 0;
    int stopBits = 1;
    int flowControl = 0;
    int dataErrorPolicy = 2;
    bool dtr = false;
};

Q_DECLARE_METATYPE(SerialPortOptions)

#endif
