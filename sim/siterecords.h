#ifndef SITERECORDS_H
#define SITERECORDS_H

#include "modbusbytes.h"

#include <QString>

// The instrument's sites table: file 0x80, 20 records of 122 bytes (three 40-byte names, no
// reserved bytes, CRC).
namespace SiteRecords {
constexpr quint8 File = 0x80;
constexpr int NameSize = 40;
constexpr int RecordSize = 3 * NameSize + 2;
constexpr int Count = 20;
constexpr int TableSize = Count * RecordSize;
} // namespace SiteRecords

// One record from three names, made here from the layout alone (its own UTF-8 cut and CRC), so
// that the library's encoder is checked against something it did not produce: each name's UTF-8
// form cut to nameSize bytes before a whole code point and padded with zeros, reservedBytes
// zeros, then CRC-16/MODBUS with its low byte first.
ModbusBytes encodeSiteRecord(const QString &group, const QString &subGroup, const QString &site,
                             int nameSize = SiteRecords::NameSize, int reservedBytes = 0);

#endif
