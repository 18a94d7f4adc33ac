#include "modbusuint8.h"

ModbusUInt8::ModbusUInt8(QObject *parent) : ModbusItemByteBase(parent) {}

ModbusUInt8::ModbusUInt8(quint32 address, QObject *parent) : ModbusItemByteBase(address, parent) {}

void ModbusUInt8::setValue(quint8 value)
{
    assignValue(value, true);
}

void ModbusUInt8::assignValue(quint8 value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(bytesOfByte(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusUInt8::formatValue() const
{
    return QString::number(int(m_value), base());
}

void ModbusUInt8::setFormatValue(const QString &text)
{
    bool ok = false;
    const ushort parsed = text.toUShort(&ok, base());
    if (ok)
        setValue(quint8(parsed & 0xFF));
}

void ModbusUInt8::updateValueFromBytes()
{
    assignValue(byteOfBytes(bytes()), false);
}

QVariant ModbusUInt8::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant::fromValue(uchar(byteOfBytes(bytes)));
}

bool ModbusUInt8::writeValue(quint8 value)
{
    return write(bytesOfByte(value));
}
