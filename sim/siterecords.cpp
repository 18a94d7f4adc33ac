#include "siterecords.h"

namespace {

QByteArray nameField(const QString &name, int nameSize)
{
    QByteArray field;
    for (const uint codePoint : name.toUcs4()) {
        const QByteArray utf8 =
            QString::fromUcs4(reinterpret_cast<const char32_t *>(&codePoint), 1).toUtf8();
        if (field.size() + utf8.size() > nameSize)
            break;
        field += utf8;
    }
    return field.leftJustified(nameSize, '\0', true);
}

quint16 crc16Modbus(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

} // namespace

ModbusBytes encodeSiteRecord(const QString &group, const QString &subGroup, const QString &site,
                             int nameSize, int reservedBytes)
{
    QByteArray record = nameField(group, nameSize) + nameField(subGroup, nameSize) +
                        nameField(site, nameSize) + QByteArray(reservedBytes, '\0');
    const quint16 crc = crc16Modbus(record);
    record.append(char(crc & 0xFF));
    record.append(char(crc >> 8));
    return record;
}
