#ifndef MODBUSCRC_H
#define MODBUSCRC_H

#include "dorrikbus_global.h"

#include <QtGlobal>

class ModbusBytes;

// CRC-16/MODBUS in wire order: written big-endian it gives the two bytes that follow an RTU
// frame (numerically the catalogue value with its bytes swapped). 0xFFFF for no bytes.
DORRIKBUS_EXPORT quint16 qChecksumModbus(const char *data, unsigned int len);

// From offset to the end when len is 0; a len past the end is clipped, an offset past the end
// reads nothing.
DORRIKBUS_EXPORT quint16 qChecksumModbus(const ModbusBytes &bytes, unsigned int len = 0,
                                         unsigned int offset = 0);

#endif
