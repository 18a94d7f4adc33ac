#include "modbusint8.h"

ModbusInt8::ModbusInt8(QObject *parent) : ModbusItemByteBase(parent) {}

ModbusInt8::ModbusInt8(quint32 address, QObject *parent) : ModbusItemByteBase(address, parent) {}

void ModbusInt8::setValue(qint8 value)
{
    assignValue(value, true);
}

void ModbusInt8::assignValue(qint8 value, bool encode)
{
    if (m_value == value)
        return;
    m_value = value;
    if (encode)
        setBytes(bytesOfByte(quint8(value)), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusInt8::formatValue() const
{
    return QString::number(int(m_value), base());
}

void ModbusInt8::setFormatValue(const QString &text)
{
    bool ok = false;
    const short parsed = text.toShort(&ok, base());
    if (ok)
        setValue(qint8(quint8(parsed & 0xFF)));
}

void ModbusInt8::updateValueFromBytes()
{
    assignValue(qint8(byteOfBytes(bytes())), false);
}

QVariant ModbusInt8::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant(int(qint8(byteOfBytes(bytes))));
}

bool ModbusInt8::writeValue(qint8 value)
{
    return write(bytesOfByte(quint8(value)));
}
