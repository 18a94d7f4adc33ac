#include "tftpdatagram.h"

const ModbusBytes &TFtpDatagram::modeSuffix()
{
    static const ModbusBytes suffix = ModbusBytes::fromHex("006f6374657400");
    return suffix;
}

QString TFtpDatagram::errorText(quint16 code)
{
    switch (code) {
    case 0:
        return tr("not defined, see error message (if any)");
    case 1:
        return tr("file not found");
    case 2:
        return tr("access violation");
    case 3:
        return tr("disk full or allocation exceeded");
    case 4:
        return tr("illegal TFTP operation");
    case 5:
        return tr("unknown transfer ID");
    case 6:
        return tr("file already exists");
    case 7:
        return tr("no such user");
    case 8:
        return tr("illegal option");
    default:
        return tr("unknown error code");
    }
}
