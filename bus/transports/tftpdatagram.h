#ifndef TFTPDATAGRAM_H
#define TFTPDATAGRAM_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"

#include <QCoreApplication>

// What the Modbus TFTP client and server share of the TFTP packets (RFC 1350): the opcodes, the
// transfer mode that ends a read request, and the texts of the error codes.
class DORRIKBUS_EXPORT TFtpDatagram
{
    Q_DECLARE_TR_FUNCTIONS(TFtpDatagram)

public:
    enum Opcode : quint16 { ReadRequest = 1, WriteRequest = 2, Data = 3, Ack = 4, Error = 5 };

    // A zero byte, "octet", a zero byte.
    static const ModbusBytes &modeSuffix();
    // The text of an ERROR packet's code; code 8 as the option extension (RFC 2347) has it.
    static QString errorText(quint16 code);
};

#endif
