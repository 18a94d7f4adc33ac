#include "modbusstringutf8.h"

ModbusStringUtf8::ModbusStringUtf8(QObject *parent) : ModbusCustomBytes(1, parent)
{
    connect(this, &ModbusCustomBytes::itemSizeChanged, this, &ModbusStringUtf8::lengthChanged);
}

void ModbusStringUtf8::setValue(const QString &value)
{
    if (value == m_value)
        return;
    m_value = value;
    setBytes(encode(value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

void ModbusStringUtf8::updateValueFromBytes()
{
    // The text follows the bytes without being encoded back: a read must not replace what it
    // read (padding, bytes after the end of the text) with the encoding of the text.
    const QString text = bytes().toStringUtf8(0, -1);
    if (text == m_value)
        return;
    m_value = text;
    emit valueChanged();
    emit formatValueChanged();
}

QVariant ModbusStringUtf8::getTypedValue(const ModbusBytes &bytes) const
{
    return bytes.toStringUtf8(0, -1);
}

bool ModbusStringUtf8::writeValue(const QString &value)
{
    return write(encode(value));
}

void ModbusStringUtf8::setAdjustLength(int length)
{
    if (length == m_adjustLength)
        return;
    m_adjustLength = length;
    emit adjustLengthChanged(length);
}

void ModbusStringUtf8::setAdjustByte(quint8 byte)
{
    if (byte == m_adjustByte)
        return;
    m_adjustByte = byte;
    emit adjustByteChanged(byte);
}

ModbusBytes ModbusStringUtf8::encode(const QString &value) const
{
    if (m_adjustLength < 0)
        return ModbusBytes::fromStringUtf8(value);
    // Cut at a whole character, never inside one, then pad to the fixed size.
    ModbusBytes bytes = ModbusBytes::fromStringUtf8(value, m_adjustLength);
    bytes.append(QByteArray(m_adjustLength - bytes.size(), char(m_adjustByte)));
    return bytes;
}
